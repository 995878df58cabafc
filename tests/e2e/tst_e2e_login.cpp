#include "application.h"
#include "channel/channelwindow.h"
#include "chat/chatview.h"
#include "controls/xpbutton.h"
#include "platform/settingsstore.h"
#include "startup/launcherwindow.h"
#include "startup/loginwindow.h"
#include "support/ircclient.h"
#include "support/ircnetwork.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

// A person starts the program, signs in through the launcher and the login window, lands in
// the room of a real InspIRCd with its topic and members, and talks there.
class TestEndToEndLogin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void signInJoinAndTalk();
    void exitFromTheRoomEndsTheProgram();

private:
    QTemporaryDir m_home;
    IrcNetwork m_network;
};

void TestEndToEndLogin::initTestCase()
{
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
    SettingsStore::setCurrent(SettingsStore(m_home.filePath(QStringLiteral("settings.json"))));
    if (!IrcNetwork::inspircdAvailable())
        QSKIP("InspIRCd is not installed (apt-get install inspircd)");
    QVERIFY2(m_network.start(), qPrintable(m_network.lastError()));
}

void TestEndToEndLogin::signInJoinAndTalk()
{
    IrcClient host;
    QVERIFY(host.connectAndRegister(m_network.host(), m_network.port(), "hostess"));
    QVERIFY(host.join("#velmora"));
    host.send("TOPIC #velmora :Welcome to \x02the\x02 room");
    QVERIFY(host.waitForLine(QRegularExpression(" TOPIC #velmora ")));

    LaunchOptions options;
    options.host = m_network.host();
    options.port = m_network.port();
    Application application(options);
    application.start();

    // The launcher: one click on "Click Me To Sign In".
    QVERIFY(application.launcher() && application.launcher()->isVisible());
    QTest::mouseClick(application.launcher()->findChild<QLabel *>(QStringLiteral("lbl")),
                      Qt::LeftButton);
    QTRY_VERIFY(application.loginWindow() && application.loginWindow()->isVisible());
    QVERIFY(!application.launcher()->isVisible());

    // The login window: a nickname, the room, Connect.
    QWidget *login = application.loginWindow();
    auto *nick = login->findChild<QLineEdit *>(QStringLiteral("txtnick"));
    nick->clear();
    QTest::keyClicks(nick, QStringLiteral("lena"));
    QCOMPARE(login->findChild<QComboBox *>(QStringLiteral("echa"))->currentText(), u"#velmora"_qs);
    QSignalSpy opened(&application, &Application::channelWindowOpened);
    QTest::mouseClick(login->findChild<XPButton *>(QStringLiteral("cmdok")), Qt::LeftButton);
    QTRY_COMPARE(opened.count(), 1);
    ChannelWindow *room = application.channelWindow();
    QVERIFY(room->isVisible());

    // Joined: the others see it, and the window shows the topic and the members.
    QVERIFY(host.waitForLine(QRegularExpression("^:lena!\\S+ JOIN :?#velmora"), nullptr, 20000));
    auto *topic = room->findChild<ChatView *>(QStringLiteral("rtbtopic"));
    QTRY_VERIFY(topic->buffer()->lineCount() > 0);
    QCOMPARE(topic->buffer()->lineText(topic->buffer()->lineCount() - 1),
             u"Welcome to the room"_qs);
    auto *members = room->findChild<QListView *>(QStringLiteral("lstnicks"))->model();
    QTRY_COMPARE(members->rowCount(), 2);
    QCOMPARE((QStringList{members->index(0, 0).data().toString(),
                          members->index(1, 0).data().toString()}),
             (QStringList{"@hostess", "lena"}));
    QCOMPARE(room->findChild<QLabel *>(QStringLiteral("lblusers"))->text(),
             u"Total Users = [2]"_qs);

    // Talking: the other user receives exactly the composed line.
    auto *input = room->findChild<QLineEdit *>(QStringLiteral("dataout"));
    input->setFocus();
    QTest::keyClicks(input, QStringLiteral("hello there"));
    QTest::keyClick(input, Qt::Key_Return);
    QString received;
    QVERIFY(host.waitForLine(QRegularExpression("^:lena!\\S+ PRIVMSG #velmora :"), &received));
    QCOMPARE(received.section(u' ', 1), u"PRIVMSG #velmora :\x03"
                                        "1 hello there"_qs);
    QVERIFY(input->text().isEmpty());

    // The login was stored: the counter, and no password.
    const QVariant number = LoadSetting(QStringLiteral("Store"), QStringLiteral("number"));
    QCOMPARE(number.toString(), u"1"_qs);
}

void TestEndToEndLogin::exitFromTheRoomEndsTheProgram()
{
    IrcClient host;
    QVERIFY(host.connectAndRegister(m_network.host(), m_network.port(), "hostess2"));
    QVERIFY(host.join("#velmora"));
    LaunchOptions options;
    options.host = m_network.host();
    options.port = m_network.port();
    options.nick = QStringLiteral("mira"); // a direct sign-in
    Application application(options);
    application.start();
    ChannelWindow *room = application.channelWindow();
    QVERIFY(room && room->isVisible());
    QVERIFY(host.waitForLine(QRegularExpression("^:mira!\\S+ JOIN :?#velmora"), nullptr, 20000));

    room->menus().exit->trigger();
    QMessageBox *box = nullptr;
    QTRY_VERIFY((box = room->findChild<QMessageBox *>(QStringLiteral("exitquestion"))));
    // Yes ends the program's event loop with code 0, the connection closed and the tray icon
    // gone; the others see the user quit.
    QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Yes)->click(); });
    QTimer fallback;
    fallback.setSingleShot(true);
    connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    fallback.start(10000);
    const int code = QCoreApplication::exec();
    fallback.stop();
    QCOMPARE(code, 0);
    QVERIFY(application.session().connection().isClosed());
    QCOMPARE(application.tray().phase(), TrayIcon::Phase::None);
    QVERIFY(host.waitForLine(QRegularExpression("^:mira!\\S+ QUIT "), nullptr, 15000));
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestEndToEndLogin test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_login.moc"
