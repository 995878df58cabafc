#include "app/sessionvariables.h"
#include "irc/ircsession.h"
#include "render/chatview.h"
#include "support/scriptedserver.h"
#include "ui/channel/channelwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QtTest>

// The room window as the session's face: what the interpreter asks for shows up in the window,
// and nothing it shows holds up the lines that follow.
class TestChannelWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void messageBoxesDoNotStopTheSession();
    void identificationLocksAndUnlocks();
    void privateMessageOpensItsWindow();
    void memberCountAndList();

private:
    template<typename T> T *child(const char *name)
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }

    SessionVariables m_vars;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
    std::unique_ptr<ChannelWindow> m_window;
};

void TestChannelWindow::init()
{
    m_vars = SessionVariables{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
    m_server = std::make_unique<ScriptedServer>();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setServer(QStringLiteral("127.0.0.1"), m_server->port());
    m_window = std::make_unique<ChannelWindow>(*m_session);
    m_window->show();
    m_session->ConnectToServer();
    QVERIFY(m_server->acceptClient());
    QVERIFY(m_server->receivedUntil("\r\n").endsWith("\r\n"));
}

void TestChannelWindow::cleanup()
{
    m_window.reset();
    m_session.reset();
    m_server.reset();
}

void TestChannelWindow::messageBoxesDoNotStopTheSession()
{
    // Each of these raises a message box; the PING after them is still answered, in order.
    const QByteArray answer =
        m_server->exchange(":op!o@h KICK #velmora alice :out\r\n"
                           ":srv 474 alice #velmora :Cannot join\r\n"
                           ":srv 433 * alice :in use\r\n:srv KILL alice :bye\r\n");
    QCOMPARE(answer, QByteArray());
    const auto boxes = m_window->findChildren<QMessageBox *>();
    QStringList titles;
    for (const QMessageBox *box : boxes) {
        QVERIFY(box->isVisible());
        titles << box->windowTitle();
    }
    titles.sort();
    QCOMPARE(titles, (QStringList{"Banned", "Kick", "Kill", "Nick Error"}));
}

void TestChannelWindow::identificationLocksAndUnlocks()
{
    m_server->exchange(":NickServ!s@h NOTICE alice :please choose a different nick.\r\n");
    QVERIFY(child<QLineEdit>("dataout")->isReadOnly());
    QVERIFY(!child<QListView>("lstnicks")->isEnabled());
    QTRY_VERIFY(m_window->findChild<QDialog *>(QStringLiteral("frmpassword")));
    QVERIFY(m_window->findChild<QDialog *>(QStringLiteral("frmpassword"))->isVisible());

    m_server->exchange(
        ":NickServ!s@h NOTICE alice :Password accepted - you are now recognized.\r\n");
    QVERIFY(!child<QLineEdit>("dataout")->isReadOnly());
    QVERIFY(child<QListView>("lstnicks")->isEnabled());
}

void TestChannelWindow::privateMessageOpensItsWindow()
{
    m_server->exchange(":bob!b@h PRIVMSG alice :hello there\r\n");
    QWidget *conversation = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"frmprvmsg" && widget->isVisible())
            conversation = widget;
    }
    QVERIFY(conversation);
    QCOMPARE(conversation->windowTitle(), u"bob"_qs);
    QCOMPARE(conversation->findChild<QLabel *>(QStringLiteral("lbltop2"))->text(), u"bob"_qs);
    auto *view = conversation->findChild<ChatView *>(QStringLiteral("txtprvmsg"));
    QVERIFY(view && view->buffer());
    QCOMPARE(view->buffer()->lineCount(), 2); // the start line, then the message
    QVERIFY(view->buffer()->lineText(0).startsWith(u" * Chat Started : "_qs));
    QCOMPARE(view->buffer()->lineText(1), u" < bob > hello there"_qs);

    // Closing frees the slot; the next message opens the window again with a new start line.
    conversation->close();
    QCOMPARE(m_session->conversations().findSlot(u"bob"_qs), -1);
    m_server->exchange(":bob!b@h PRIVMSG alice :back\r\n");
    QVERIFY(conversation->isVisible());
    QCOMPARE(view->buffer()->lineCount(), 4);
    QVERIFY(view->buffer()->lineText(2).startsWith(u" * Chat Started : "_qs));
}

void TestChannelWindow::memberCountAndList()
{
    m_server->exchange(":srv 353 alice = #velmora :@ann bob +carl\r\n:bob!b@h PART #velmora\r\n");
    QCOMPARE(child<QLabel>("lblusers")->text(), u"Total Users = [2]"_qs);
    QAbstractItemModel *model = child<QListView>("lstnicks")->model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, 0).data().toString(), u"+carl"_qs);
    QCOMPARE(model->index(1, 0).data().toString(), u"@ann"_qs);
}

QTEST_MAIN(TestChannelWindow)
#include "tst_channelwindow.moc"
