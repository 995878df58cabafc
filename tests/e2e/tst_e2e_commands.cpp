#include "channel/channelwindow.h"
#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/ircclient.h"
#include "support/ircnetwork.h"
#include "support/sessionrecorder.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QtTest>

// The room window's commands and dialogs against a real InspIRCd with Anope: what they send is
// what the server and its services act on, and their answers reach the room view.
class TestEndToEndCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void moderation();
    void privateTalkAndBlocking();
    void nickServThroughTheDialogs();
    void overlongNickIsRefusedAndShown();

private:
    bool roomShows(const QString &text, int timeoutMs = 15000);
    // NickServ INFO about nick, asked from rover's connection: "registered", "unknown" or
    // "no answer".
    QString nickServInfo(const QString &nick);
    void select(const QString &nick);
    void answer(const char *dialog, const QString &text);
    template<typename T> T *find(const char *name)
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }
    void click(QWidget *parent, const char *name)
    {
        auto *button = parent->findChild<QAbstractButton *>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    IrcNetwork m_network;
    SessionVariables m_vars;
    RecordingLog m_roomLog;
    std::unique_ptr<IrcSession> m_session;
    std::unique_ptr<ChannelWindow> m_window;
    std::unique_ptr<IrcClient> m_rover;
    int m_round = 0;
};

void TestEndToEndCommands::initTestCase()
{
    if (!IrcNetwork::inspircdAvailable() || !IrcNetwork::anopeAvailable())
        QSKIP("InspIRCd and Anope are not installed (apt-get install inspircd anope)");
    QVERIFY2(m_network.start({.withServices = true}), qPrintable(m_network.lastError()));
}

void TestEndToEndCommands::init()
{
    // A room of its own each time: the program opens it and so holds its operator rank.
    const QString room = QStringLiteral("#room%1").arg(++m_round);
    m_vars = SessionVariables{QStringLiteral("mod%1").arg(m_round), QString(), room, 0};
    m_roomLog.lines.clear();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setServer(m_network.host(), m_network.port());
    m_session->roomView().setLog(&m_roomLog);
    m_window = std::make_unique<ChannelWindow>(*m_session);
    m_window->show();
    m_session->ConnectToServer();
    QVERIFY(roomShows(u"have joined \x02"_qs + room));
    m_rover = std::make_unique<IrcClient>();
    QVERIFY(m_rover->connectAndRegister(m_network.host(), m_network.port(),
                                        QStringLiteral("rover%1").arg(m_round)));
    QVERIFY(m_rover->join(room));
    QTRY_VERIFY(m_session->members().findExact(m_rover->nick()) >= 0);
}

void TestEndToEndCommands::cleanup()
{
    m_rover.reset();
    m_window.reset();
    m_session.reset();
}

bool TestEndToEndCommands::roomShows(const QString &text, int timeoutMs)
{
    return m_roomLog.waitForLineWith(text, timeoutMs);
}

QString TestEndToEndCommands::nickServInfo(const QString &nick)
{
    m_rover->clearPending();
    m_rover->send("PRIVMSG NickServ :INFO " + nick.toUtf8());
    QString line;
    const QRegularExpression answer(u"^:NickServ!\\S+ NOTICE "_qs + m_rover->nick() +
                                    u" :.*(isn't registered|Registered: )"_qs);
    if (!m_rover->waitForLine(answer, &line, 15000))
        return QStringLiteral("no answer");
    return line.contains(u"isn't registered"_qs) ? QStringLiteral("unknown")
                                                 : QStringLiteral("registered");
}

void TestEndToEndCommands::select(const QString &entry)
{
    auto *list = find<QListView>("lstnicks");
    const int row = m_session->members().findExact(entry);
    QVERIFY2(row >= 0, qPrintable(entry));
    list->setCurrentIndex(list->model()->index(row, 0));
}

void TestEndToEndCommands::answer(const char *dialog, const QString &text)
{
    QInputDialog *box = nullptr;
    QTRY_VERIFY((box = find<QInputDialog>(dialog)));
    box->setTextValue(text);
    box->accept();
}

void TestEndToEndCommands::moderation()
{
    using commands::Moderation;
    const QString rover = m_rover->nick();
    const QByteArray room = m_vars.CurrentRoom.toUtf8();
    auto serverSays = [&](const QString &pattern) {
        return m_rover->waitForLine(QRegularExpression(pattern), nullptr, 15000);
    };
    // The server gives the room's creator "@" in the names reply only, never in a MODE line.
    QVERIFY(m_session->members().findExact(u'@' + m_vars.CurrentNick) >= 0);
    QVERIFY(m_window->menus().moderator->menuAction()->isVisible());
    select(rover);
    m_window->menus().moderation(Moderation::Voice)->trigger();
    QVERIFY(serverSays(" MODE " + m_vars.CurrentRoom + " \\+v :?" + rover));
    QTRY_VERIFY(m_session->members().findExact(u'+' + rover) >= 0);
    QVERIFY(m_rover->names(m_vars.CurrentRoom).contains(u'+' + rover));

    select(u'+' + rover);
    m_window->menus().moderation(Moderation::Devoice)->trigger();
    QVERIFY(serverSays(" MODE " + m_vars.CurrentRoom + " -v :?" + rover));
    QTRY_VERIFY(m_session->members().findExact(rover) >= 0);

    select(rover);
    m_window->menus().moderation(Moderation::Kick)->trigger();
    QVERIFY(serverSays(" KICK " + m_vars.CurrentRoom + " " + rover + " :"));
    QVERIFY(roomShows(rover + u"\x02 was kicked by \x02"_qs + m_vars.CurrentNick));

    QVERIFY(m_rover->join(m_vars.CurrentRoom));
    QTRY_VERIFY(m_session->members().findExact(rover) >= 0);
    select(rover);
    m_window->menus().moderation(Moderation::KickWithReason)->trigger();
    answer("kickreason", QStringLiteral("behave"));
    QVERIFY(serverSays(" KICK " + m_vars.CurrentRoom + " " + rover + " :behave"));

    // The kicked member took the selection along; ban and unban name whom the user types but
    // still want a member selected, so the user picks one of those left.
    QTRY_VERIFY(m_session->members().findExact(rover) < 0);
    QVERIFY(!find<QListView>("lstnicks")->currentIndex().isValid());
    select(m_session->members().at(0));
    m_window->menus().moderation(Moderation::Ban)->trigger();
    answer("baninput", rover);
    QVERIFY(roomShows(u"sets mode: +b "_qs + rover));
    m_rover->send("JOIN " + room);
    QVERIFY(serverSays(" 474 " + rover + " " + m_vars.CurrentRoom));

    m_window->menus().moderation(Moderation::Unban)->trigger();
    // The server keeps the ban as the full mask "rover!*@*"; the bare nick typed lifts it.
    answer("unbaninput", rover);
    QVERIFY(roomShows(u"sets mode: -b "_qs + rover));
    QVERIFY(m_rover->join(m_vars.CurrentRoom));

    // A member listed with a rank sign is named without it.
    QTRY_VERIFY(m_session->members().findExact(rover) >= 0);
    m_session->SendData(u"MODE "_qs + m_vars.CurrentRoom + u" +o "_qs + rover);
    QTRY_VERIFY(m_session->members().findExact(u'@' + rover) >= 0);
    select(u'@' + rover);
    m_window->menus().moderation(Moderation::Voice)->trigger();
    QVERIFY(serverSays(" MODE " + m_vars.CurrentRoom + " \\+v :?" + rover));
    select(u'@' + rover);
    m_window->menus().moderation(Moderation::Kick)->trigger();
    QVERIFY(serverSays(" KICK " + m_vars.CurrentRoom + " " + rover + " :"));
}

void TestEndToEndCommands::privateTalkAndBlocking()
{
    const QString rover = m_rover->nick();
    m_rover->send("PRIVMSG " + m_vars.CurrentNick.toUtf8() + " :hello you");
    QWidget *conversation = nullptr;
    QTRY_VERIFY((conversation = [&]() -> QWidget * {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == u"frmprvmsg" && w->isVisible() && w->windowTitle() == rover)
                return w;
        return nullptr;
    }()));
    click(conversation, "cmdblock");
    QVERIFY(!conversation->isVisible());
    QVERIFY(m_session->blockedNicks().isBlocked(rover));

    // Refused from now on: no slot, no window.
    m_rover->send("PRIVMSG " + m_vars.CurrentNick.toUtf8() + " :let me in");
    m_rover->send("PRIVMSG " + m_vars.CurrentRoom.toUtf8() + " :marker");
    QVERIFY(roomShows(QStringLiteral("marker")));
    QCOMPARE(m_session->conversations().findSlot(rover), -1);
    QVERIFY(!conversation->isVisible());

    // The user can still open a conversation: it opens minimized.
    select(rover);
    m_window->menus().privateChat->trigger();
    QTRY_VERIFY(conversation->isVisible());
    QVERIFY(conversation->isMinimized());
    QVERIFY(m_session->conversations().findSlot(rover) >= 0);
}

void TestEndToEndCommands::nickServThroughTheDialogs()
{
    m_window->menus().registerNick->trigger();
    QWidget *dialog = nullptr;
    QTRY_VERIFY((dialog = find<QWidget>("registerr")));
    dialog->findChild<QLineEdit *>(QStringLiteral("pwd"))->setText(QStringLiteral("first-pass"));
    dialog->findChild<QLineEdit *>(QStringLiteral("rpwd"))->setText(QStringLiteral("first-pass"));
    dialog->findChild<QLineEdit *>(QStringLiteral("mid"))
        ->setText(QStringLiteral("me@example.org"));
    dialog->findChild<QLineEdit *>(QStringLiteral("txtcode"))
        ->setText(dialog->findChild<QLabel *>(QStringLiteral("lbcode"))->text());
    click(dialog, "cmdok");
    QVERIFY(roomShows(QStringLiteral("registered")));
    QCOMPARE(nickServInfo(m_vars.CurrentNick), u"registered"_qs);

    m_window->menus().changePassword->trigger();
    QTRY_VERIFY((dialog = find<QWidget>("frmchpwd")));
    dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("second-pass"));
    click(dialog, "XPButton1");
    QVERIFY(roomShows(QStringLiteral("changed")));

    const int before = int(m_roomLog.lines.size());
    m_window->menus().dropNick->trigger();
    QTRY_VERIFY((dialog = find<QWidget>("registerr")) && dialog->isVisible());
    dialog->findChild<QLineEdit *>(QStringLiteral("txtcode"))
        ->setText(dialog->findChild<QLabel *>(QStringLiteral("lbcode"))->text());
    click(dialog, "cmddrop");
    QTRY_VERIFY_WITH_TIMEOUT(m_roomLog.lines.size() > before &&
                                 m_roomLog.lines.mid(before).filter(u"*** Notice"_qs).size() > 0,
                             15000);
    // The services' own record says whether the nick is gone, whatever their notice said.
    QCOMPARE(nickServInfo(m_vars.CurrentNick), u"unknown"_qs);

    // Taking a nick someone else registered: NickServ asks, the identify dialog opens, a wrong
    // password opens it again, the right one is accepted.
    IrcClient owner;
    const QString keeper = QStringLiteral("keeper%1").arg(m_round);
    QVERIFY(owner.connectAndRegister(m_network.host(), m_network.port(), keeper));
    owner.send("PRIVMSG NickServ :REGISTER keeper-pass");
    QVERIFY(owner.waitForLine(QRegularExpression("registered")));
    owner.quit();
    m_window->menus().changeNick->trigger();
    QTRY_VERIFY((dialog = find<QWidget>("nchange")));
    dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(keeper);
    click(dialog, "XPButton1");
    QVERIFY(roomShows(QStringLiteral("please choose a different nick.")));
    auto identify = [&](const QString &password) {
        QWidget *box = nullptr;
        QTRY_VERIFY((box = find<QWidget>("frmpassword")) && box->isVisible());
        box->findChild<QLineEdit *>(QStringLiteral("txtpwd"))->setText(password);
        click(box, "cmdok");
    };
    identify(QStringLiteral("not-this"));
    QVERIFY(roomShows(QStringLiteral("Password incorrect.")));
    identify(QStringLiteral("keeper-pass"));
    QVERIFY(roomShows(QStringLiteral("Password accepted - you are now recognized.")));
}

void TestEndToEndCommands::overlongNickIsRefusedAndShown()
{
    const int shownBefore = m_session->roomView().lineCount();
    m_window->menus().changeNick->trigger();
    QWidget *dialog = nullptr;
    QTRY_VERIFY((dialog = find<QWidget>("nchange")));
    dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QString(400, u'n'));
    click(dialog, "XPButton1");
    QVERIFY(roomShows(QStringLiteral("Invalid nickname."), 15000) ||
            roomShows(QStringLiteral("Nickname is in use."), 1));
    QVERIFY(m_session->roomView().lineCount() > shownBefore); // nothing lost from the view
    QTRY_VERIFY(m_window->findChild<QMessageBox *>());
    QVERIFY(!m_session->connection().isClosed());
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestEndToEndCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_commands.moc"
