#include "channel/channelpresenter.h"
#include "channel/channelwindow.h"
#include "channel/roomcommands.h"
#include "chat/chatview.h"
#include "dialogs/blockednickswindow.h"
#include "irc/ircsession.h"
#include "private/conversationwindow.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QtTest>

// The member and room commands of the room window, against a server that shows every byte the
// client writes.
class TestRoomCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void memberLinesStripRanks_data();
    void memberLinesStripRanks();
    void blockAndChatStripRanks_data();
    void blockAndChatStripRanks();
    void awayLines_data();
    void awayLines();
    void inputBoxes_data();
    void inputBoxes();
    void commandsWhileDisconnected_data();
    void commandsWhileDisconnected();
    void missingSelection_data();
    void missingSelection();
    void removedMemberLeavesNoSelection_data();
    void removedMemberLeavesNoSelection();
    void privateChatSlots_data();
    void privateChatSlots();
    void doubleClickOnNoMember();
    void blockingTwiceAddsOnce();
    void refreshAndClear();
    void blockedNicksWindowIsSingle();
    void forgotPassword();

private:
    void addAndSelect(const QString &entry);
    // Menu items are found by their names, as users and scripts find them.
    QAction *item(const QString &name) const { return m_window->findChild<QAction *>(name); }
    void trigger(const QString &name) { item(name)->trigger(); }
    // What the client wrote since the last look: a PING after it is answered once all is out.
    QByteArray sent() { return m_server->exchange(QByteArray()); }
    QListView *list() const
    {
        return qobject_cast<QListView *>(m_window->element(QStringLiteral("lstnicks")));
    }
    template<typename T> T *openBox(const QString &name)
    {
        T *box = nullptr;
        [&] { QTRY_VERIFY((box = m_window->findChild<T *>(name)) && box->isVisible()); }();
        return box;
    }
    ConversationWindow *conversationWindow(int slot) const;

    SessionVariables m_vars;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
    std::unique_ptr<ChannelWindow> m_window;
};

void TestRoomCommands::init()
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
    QCOMPARE(sent(), QByteArray()); // registration read, nothing pending
}

void TestRoomCommands::cleanup()
{
    m_window.reset();
    m_session.reset();
    m_server.reset();
}

void TestRoomCommands::addAndSelect(const QString &entry)
{
    m_session->members().add(entry);
    const int row = m_session->members().findExact(entry);
    QVERIFY(row >= 0);
    list()->setCurrentIndex(list()->model()->index(row, 0));
}

ConversationWindow *TestRoomCommands::conversationWindow(int slot) const
{
    const ChatBuffer *buffer = &m_session->conversations().view(slot);
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<ConversationWindow *>(widget);
        if (!window)
            continue;
        for (const ChatView *view : window->findChildren<ChatView *>()) {
            if (view->buffer() == buffer)
                return window;
        }
    }
    return nullptr;
}

void TestRoomCommands::memberLinesStripRanks_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("line");

    struct Command
    {
        const char *action;
        QByteArray head;
    };
    const Command commands[] = {
        {"mnukick0", "KICK #velmora "},
        {"mnukick2", "MODE #velmora +v "},
        {"mnukick3", "MODE #velmora -v "},
        {"mnuwhois", "WHOIS "},
    };
    // The server knows the nick only: every command drops any one rank sign.
    for (const Command &c : commands) {
        for (const char rank : {'@', '%', '+', '~', '&'}) {
            const QByteArray entry = QByteArray(1, rank) + "rover";
            QTest::addRow("%s %s", c.action, entry.constData())
                << QString::fromLatin1(entry) << QString::fromLatin1(c.action)
                << c.head + "rover\n";
        }
    }
    QTest::newRow("whois plain") << u"rover"_qs << u"mnuwhois"_qs << QByteArray("WHOIS rover\n");
    QTest::newRow("kick plain") << u"rover"_qs << u"mnukick0"_qs
                                << QByteArray("KICK #velmora rover\n");
}

void TestRoomCommands::memberLinesStripRanks()
{
    QFETCH(QString, entry);
    QFETCH(QString, action);
    QFETCH(QByteArray, line);
    addAndSelect(entry);
    trigger(action);
    QCOMPARE(sent(), line);
    QVERIFY(!m_window->findChild<QMessageBox *>());
}

void TestRoomCommands::blockAndChatStripRanks_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<QString>("partner");

    QTest::newRow("@") << u"@rover"_qs << u"rover"_qs << u"rover"_qs;
    QTest::newRow("+") << u"+rover"_qs << u"rover"_qs << u"rover"_qs;
    QTest::newRow("~") << u"~rover"_qs << u"rover"_qs << u"rover"_qs;
    QTest::newRow("&") << u"&rover"_qs << u"rover"_qs << u"rover"_qs;
    QTest::newRow("%") << u"%rover"_qs << u"rover"_qs << u"rover"_qs;
    QTest::newRow("one sign only") << u"@@rover"_qs << u"@rover"_qs << u"@rover"_qs;
}

void TestRoomCommands::blockAndChatStripRanks()
{
    QFETCH(QString, entry);
    QFETCH(QString, blocked);
    QFETCH(QString, partner);
    addAndSelect(entry);

    trigger(u"mnuignore"_qs);
    QCOMPARE(m_session->blockedNicks().stringList(), QStringList{blocked});
    QVERIFY(!m_window->findChild<BlockedNicksWindow *>()); // blocking does not show the list

    trigger(u"mnuchat"_qs);
    QCOMPARE(m_session->conversations().ConversationNicks[0], partner);
    ConversationWindow *window = conversationWindow(0);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), partner);
    QCOMPARE(sent(), QByteArray());
}

void TestRoomCommands::awayLines_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("Online") << 1 << QByteArray("AWAY \n");
    QTest::newRow("Busy") << 2 << QByteArray("AWAY  is Busy\n");
    QTest::newRow("Be right back") << 3 << QByteArray("AWAY  will be right back\n");
    QTest::newRow("Away") << 4 << QByteArray("AWAY  is Away\n");
    QTest::newRow("In a Call") << 5 << QByteArray("AWAY  is in a call\n");
    QTest::newRow("Out to Lunch") << 6 << QByteArray("AWAY  is Out to lunch\n");
}

void TestRoomCommands::awayLines()
{
    QFETCH(int, index);
    QFETCH(QByteArray, line);
    QAction *status = item(QStringLiteral("mnuawayaway%1").arg(index));
    status->trigger();
    QCOMPARE(sent(), line);
    QVERIFY(!status->isChecked()); // the menu keeps no away state
}

void TestRoomCommands::inputBoxes_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QByteArray>("line");

    const QString kick = u"mnukick1"_qs, ban = u"mnukick4"_qs, unban = u"mnukick5"_qs,
                  away = u"mnuawayownreason"_qs;
    const QString kickBox = u"kickreason"_qs, kickTitle = u"kick reason"_qs,
                  kickPrompt = u"Enter the Reason"_qs;
    QTest::newRow("kick reason") << kick << kickBox << kickTitle << kickPrompt << u"go away"_qs
                                 << true << QByteArray("KICK #velmora rover go away\n");
    QTest::newRow("kick reason with colon")
        << kick << kickBox << kickTitle << kickPrompt << u":bye"_qs << true
        << QByteArray("KICK #velmora rover :bye\n");
    QTest::newRow("kick empty") << kick << kickBox << kickTitle << kickPrompt << QString() << true
                                << QByteArray();
    QTest::newRow("kick cancelled")
        << kick << kickBox << kickTitle << kickPrompt << u"go"_qs << false << QByteArray();
    QTest::newRow("kick line break")
        << kick << kickBox << kickTitle << kickPrompt << u"go\r\nQUIT :owned"_qs << true
        << QByteArray("KICK #velmora rover go\n");
    QTest::newRow("ban") << ban << u"baninput"_qs << u"Ban"_qs << u"Enter the Nickname to ban"_qs
                         << u"troll!*@*"_qs << true << QByteArray("mode #velmora +b troll!*@*\n");
    QTest::newRow("ban empty") << ban << u"baninput"_qs << u"Ban"_qs
                               << u"Enter the Nickname to ban"_qs << QString() << true
                               << QByteArray();
    QTest::newRow("ban nul") << ban << u"baninput"_qs << u"Ban"_qs
                             << u"Enter the Nickname to ban"_qs << u"troll\0PART #velmora"_qs
                             << true << QByteArray("mode #velmora +b troll\n");
    QTest::newRow("unban") << unban << u"unbaninput"_qs << u"Unban"_qs
                           << u"Enter the Nickname to unban"_qs << u"troll"_qs << true
                           << QByteArray("mode #velmora -b troll!*@*\n");
    QTest::newRow("unban cancelled")
        << unban << u"unbaninput"_qs << u"Unban"_qs << u"Enter the Nickname to unban"_qs
        << u"troll"_qs << false << QByteArray();
    QTest::newRow("own reason") << away << u"awayreason"_qs << u"Insert a Reason !"_qs
                                << u"Enter your Reason:"_qs << u"at lunch"_qs << true
                                << QByteArray("Away at lunch\n");
    QTest::newRow("own reason empty")
        << away << u"awayreason"_qs << u"Insert a Reason !"_qs << u"Enter your Reason:"_qs
        << QString() << true << QByteArray();
    QTest::newRow("own reason line break")
        << away << u"awayreason"_qs << u"Insert a Reason !"_qs << u"Enter your Reason:"_qs
        << u"out\nPRIVMSG #velmora :x"_qs << true << QByteArray("Away out\n");
}

void TestRoomCommands::inputBoxes()
{
    QFETCH(QString, action);
    QFETCH(QString, box);
    QFETCH(QString, title);
    QFETCH(QString, prompt);
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(QByteArray, line);
    addAndSelect(u"@rover"_qs);
    trigger(action);

    auto *input = openBox<QInputDialog>(box);
    QVERIFY(input);
    QCOMPARE(input->windowTitle(), title);
    QCOMPARE(input->labelText(), prompt);
    QCOMPARE(input->textValue(), QString());
    // The session goes on while the box is open; nothing is sent before the answer.
    QCOMPARE(sent(), QByteArray());
    // The list may change while the user types: the kick still names the member chosen.
    m_session->members().add(u"aaron"_qs);
    list()->setCurrentIndex(list()->model()->index(0, 0));

    input->setTextValue(typed);
    if (accept)
        input->accept();
    else
        input->reject();
    QCOMPARE(sent(), line);
}

void TestRoomCommands::commandsWhileDisconnected_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("box"); // the input box the command asks in, if any
    QTest::newRow("whois") << u"mnuwhois"_qs << QString();
    QTest::newRow("kick") << u"mnukick0"_qs << QString();
    QTest::newRow("kick reason") << u"mnukick1"_qs << u"kickreason"_qs;
    QTest::newRow("voice") << u"mnukick2"_qs << QString();
    QTest::newRow("ban") << u"mnukick4"_qs << u"baninput"_qs;
    QTest::newRow("away") << u"mnuawayaway2"_qs << QString();
    QTest::newRow("own reason") << u"mnuawayownreason"_qs << u"awayreason"_qs;
    QTest::newRow("refresh: two lines, one notice") << u"mnurefresh"_qs << QString();
    QTest::newRow("say") << u"act2"_qs << QString();
    QTest::newRow("act") << u"mnuaction"_qs << u"actinput"_qs;
}

void TestRoomCommands::commandsWhileDisconnected()
{
    QFETCH(QString, action);
    QFETCH(QString, box);
    trigger(u"mnudc"_qs);
    QVERIFY(sent().startsWith("QUIT ")); // the server has not closed the connection yet
    addAndSelect(u"@rover"_qs);
    m_session->roomView().clear();

    trigger(action);
    if (!box.isEmpty()) {
        auto *input = openBox<QInputDialog>(box);
        QVERIFY(input);
        input->setTextValue(u"rover"_qs);
        input->accept();
    }
    QCOMPARE(sent(), QByteArray());
    const ChatBuffer &room = m_session->roomView();
    QCOMPARE(room.lineCount(), 1);
    QCOMPARE(room.lineText(0), u" *** Not sent: you are not connected to the server."_qs);
}

void TestRoomCommands::missingSelection_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("text");
    const QString selectUser = u"Please Select a User."_qs;
    QTest::newRow("private chat") << u"mnuchat"_qs << selectUser;
    QTest::newRow("block") << u"mnuignore"_qs << selectUser;
    QTest::newRow("whois") << u"mnuwhois"_qs << u"Please select a Nick"_qs;
    for (int k = 0; k <= 5; ++k)
        QTest::addRow("mnukick%d", k) << QStringLiteral("mnukick%1").arg(k) << selectUser;
}

void TestRoomCommands::missingSelection()
{
    QFETCH(QString, action);
    QFETCH(QString, text);
    m_session->members().add(u"rover"_qs); // listed, but not selected
    trigger(action);

    QMessageBox *box = nullptr;
    QTRY_VERIFY((box = m_window->findChild<QMessageBox *>()) && box->isVisible());
    QCOMPARE(box->text(), text);
    QCOMPARE(box->windowTitle(), u"Error"_qs);
    QCOMPARE(box->icon(), QMessageBox::Information);
    QVERIFY(!m_window->findChild<QInputDialog *>()); // ban and unban do not ask either
    QCOMPARE(sent(), QByteArray());                  // and the box holds nothing up
    QVERIFY(m_session->blockedNicks().stringList().isEmpty());
    QCOMPARE(m_session->conversations().ConversationNicks[0], QString());
}

void TestRoomCommands::removedMemberLeavesNoSelection_data()
{
    QTest::addColumn<QByteArray>("line"); // what the server says with bob selected
    QTest::addColumn<bool>("bobRemoved");
    QTest::newRow("part") << QByteArray(":bob!b@h PART #velmora\r\n") << true;
    QTest::newRow("quit") << QByteArray(":bob!b@h QUIT :gone\r\n") << true;
    QTest::newRow("kick") << QByteArray(":ann!a@h KICK #velmora bob :bye\r\n") << true;
    QTest::newRow("nick") << QByteArray(":bob!b@h NICK :bobby\r\n") << true;
    QTest::newRow("rank") << QByteArray(":ann!a@h MODE #velmora +o bob\r\n") << true;
    QTest::newRow("another member parts") << QByteArray(":ann!a@h PART #velmora\r\n") << false;
}

void TestRoomCommands::removedMemberLeavesNoSelection()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, bobRemoved);
    m_server->exchange(":srv 353 alice = #velmora :ann bob carl\r\n"
                       ":srv 366 alice #velmora :End of /NAMES list.\r\n");
    const int bob = m_session->members().findExact(u"bob"_qs);
    QCOMPARE(bob, 1);
    list()->setCurrentIndex(list()->model()->index(bob, 0));
    m_server->exchange(line);
    if (!bobRemoved) {
        trigger(u"mnukick0"_qs);
        QCOMPARE(sent(), QByteArray("KICK #velmora bob\n"));
        return;
    }
    QVERIFY(!list()->selectionModel()->hasSelection());
    QVERIFY(!list()->currentIndex().isValid());

    // Neither ann nor carl, the neighbours, is picked in bob's place.
    for (const char *action : {"act0", "mnukick0", "mnukick2", "mnuchat"}) {
        trigger(QString::fromLatin1(action));
        QMessageBox *box = nullptr;
        QTRY_VERIFY((box = m_window->findChild<QMessageBox *>()) && box->isVisible());
        QCOMPARE(box->text(), u"Please Select a User."_qs);
        delete box;
        QCOMPARE(sent(), QByteArray());
    }
    QCOMPARE(m_session->conversations().ConversationNicks[0], QString());
}

void TestRoomCommands::privateChatSlots_data()
{
    QTest::addColumn<QStringList>("held"); // slot nicks from slot 0; "" is a free slot
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("holder"); // slot's nick afterwards

    QTest::newRow("first free") << QStringList() << false << 0 << u"rover"_qs;
    QTest::newRow("double-click") << QStringList() << true << 0 << u"rover"_qs;
    QTest::newRow("own slot") << QStringList{u"a"_qs, u"b"_qs, u"rover"_qs} << false << 2
                              << u"rover"_qs;
    QTest::newRow("free slot before own")
        << QStringList{u"a"_qs, u"b"_qs, QString(), u"d"_qs, u"e"_qs, u"rover"_qs} << false << 2
        << u"rover"_qs;
    QTest::newRow("case counts") << QStringList{u"Rover"_qs} << false << 1 << u"rover"_qs;
    QStringList full;
    for (int i = 0; i < ConversationTable::SlotCount; ++i)
        full << QStringLiteral("user%1").arg(i);
    QTest::newRow("all held") << full << false << 0 << u"user0"_qs;
    QTest::newRow("all held, double-click") << full << true << 0 << u"user0"_qs;
}

void TestRoomCommands::privateChatSlots()
{
    QFETCH(QStringList, held);
    QFETCH(bool, doubleClick);
    QFETCH(int, slot);
    QFETCH(QString, holder);
    ConversationTable &table = m_session->conversations();
    for (int i = 0; i < held.size(); ++i)
        table.ConversationNicks[size_t(i)] = held[i];
    const QStringList before(table.ConversationNicks.cbegin(), table.ConversationNicks.cend());

    m_session->members().add(u"~rover"_qs);
    if (doubleClick) {
        list()->scrollToTop();
        const QRect item = list()->visualRect(list()->model()->index(0, 0));
        // As the mouse does it: the first click selects, the second one opens.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, item.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, item.center());
    } else {
        list()->setCurrentIndex(list()->model()->index(0, 0));
        trigger(u"mnuchat"_qs);
    }

    QCOMPARE(table.ConversationNicks[size_t(slot)], holder);
    QStringList expected = before;
    expected[slot] = holder;
    QCOMPARE(QStringList(table.ConversationNicks.cbegin(), table.ConversationNicks.cend()),
             expected); // no other slot changes
    const SessionPresenter::ConversationWindowState state =
        m_window->presenter().conversationWindowState(slot);
    QVERIFY(state.visible);
    QVERIFY(state.minimized);
    QCOMPARE(conversationWindow(slot)->windowTitle(), u"rover"_qs);
    QCOMPARE(table.caption(slot), u"rover"_qs);
    QCOMPARE(sent(), QByteArray());
}

void TestRoomCommands::doubleClickOnNoMember()
{
    m_session->members().add(u"rover"_qs);
    const QPoint below = list()->viewport()->rect().bottomLeft() + QPoint(5, -5);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, below);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(sent(), QByteArray());
    QVERIFY(!m_window->findChild<QMessageBox *>()); // no message for the double-click
    QCOMPARE(m_session->conversations().ConversationNicks[0], QString());
    QVERIFY(!m_window->presenter().conversationWindowState(0).visible);
}

void TestRoomCommands::blockingTwiceAddsOnce()
{
    m_session->blockedNicks().add(u"zed"_qs);
    addAndSelect(u"+rover"_qs);
    trigger(u"mnuignore"_qs);
    trigger(u"mnuignore"_qs);
    addAndSelect(u"Rover"_qs); // another nick by case
    trigger(u"mnuignore"_qs);
    QCOMPARE(m_session->blockedNicks().stringList(),
             (QStringList{u"zed"_qs, u"rover"_qs, u"Rover"_qs}));
}

void TestRoomCommands::refreshAndClear()
{
    QCOMPARE(sent(), QByteArray());
    m_server->exchange(":srv 353 alice = #velmora :@rover +bea carl\r\n"
                       ":srv 366 alice #velmora :End\r\n"
                       ":srv 332 alice #velmora :Welcome all\r\n"
                       ":bea!b@h PRIVMSG #velmora :hello\r\n");
    m_session->blockedNicks().add(u"zed"_qs);
    auto *users = qobject_cast<QLabel *>(m_window->element(u"lblusers"_qs));
    QCOMPARE(users->text(), u"Total Users = [3]"_qs);
    QVERIFY(m_session->roomView().lineCount() > 0);
    QVERIFY(m_session->topicView().lineCount() > 0);

    trigger(u"mnuclear"_qs); // the chat text only
    QCOMPARE(m_session->roomView().lineCount(), 0);
    QCOMPARE(m_session->members().count(), 3);
    QCOMPARE(m_session->blockedNicks().stringList(), QStringList{u"zed"_qs});
    QCOMPARE(sent(), QByteArray());

    m_server->exchange(":bea!b@h PRIVMSG #velmora :again\r\n");
    trigger(u"mnurefresh"_qs);
    QCOMPARE(m_session->members().count(), 0);
    QCOMPARE(m_session->roomView().lineCount(), 0);
    QCOMPARE(m_session->topicView().lineCount(), 0);
    QVERIFY(m_session->blockedNicks().stringList().isEmpty());
    QCOMPARE(users->text(), u"Total Users = [0]"_qs);
    QCOMPARE(sent(), QByteArray("NAMES #velmora\nTOPIC #velmora\n"));
}

void TestRoomCommands::blockedNicksWindowIsSingle()
{
    trigger(u"mnuignorelist"_qs);
    auto *window = openBox<BlockedNicksWindow>(u"nicksblock"_qs);
    QVERIFY(window);
    window->hide();
    trigger(u"mnuignorelist"_qs);
    QTRY_VERIFY(window->isVisible());
    QCOMPARE(m_window->findChildren<BlockedNicksWindow *>().size(), 1);
    // It shows the session's list.
    m_session->blockedNicks().add(u"zed"_qs);
    auto *view = window->findChild<QListView *>();
    QCOMPARE(view->model()->index(0, 0).data().toString(), u"zed"_qs);
}

void TestRoomCommands::forgotPassword()
{
    trigger(u"mnuforgot"_qs);
    auto *box = openBox<QMessageBox>(u"forgotpassword"_qs);
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), u"Forgot Password"_qs);
    QCOMPARE(box->text(), u"If you have forgotten the password please contact the room "
                          "operators having (~,@,&) signs."_qs);
    QCOMPARE(box->icon(), QMessageBox::Information);
    QCOMPARE(sent(), QByteArray());
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestRoomCommands test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_roomcommands.moc"
