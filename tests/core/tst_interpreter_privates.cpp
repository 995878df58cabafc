#include "interpreterfixture.h"

#include <QtTest>

// What received private messages and the replies about a partner do to the conversation table,
// the conversation views and the windows, driven through a scripted server on loopback.
class TestInterpreterPrivates : public QObject, protected InterpreterFixture
{
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void privateMessageOpensOneWindowPerPartner();
    void fullTableUsesTheFirstWindow();
    void refusingNewPrivates();
    void blockedSenders();
    void privateActionsAndRequests();
    void clearform();
    void quitReachesTheConversation();
    void noSuchNickShowsTheConversation();
};

void TestInterpreterPrivates::privateMessageOpensOneWindowPerPartner()
{
    run(":bob!b@h PRIVMSG alice :hi \x1fthere\r\n:carl!c@h PRIVMSG alice :yo\r\n"
        ":bob!b@h PRIVMSG alice :again\r\n");
    QCOMPARE(m_session->conversations().ConversationNicks[0], u"bob"_qs);
    QCOMPARE(m_session->conversations().ConversationNicks[1], u"carl"_qs);
    QCOMPARE(m_presenter.calls,
             (QStringList{"open 0 bob", "flash 0", "open 1 carl", "flash 1", "flash 0"}));
    QCOMPARE(partnerLog("bob").lines, codes(QStringList{"[B][C]6 < bob > [C]01[B]hi [U]there",
                                                        "[B][C]6 < bob > [C]01[B]again"}));
    QCOMPARE(m_session->conversations().view(0).lineCount(), 2);
    QVERIFY(m_roomLog.lines.isEmpty());
}

void TestInterpreterPrivates::fullTableUsesTheFirstWindow()
{
    ConversationTable &table = m_session->conversations();
    for (int slot = 0; slot < ConversationTable::SlotCount; ++slot)
        table.claim(slot, QStringLiteral("n%1").arg(slot));
    m_presenter.windowStates[0].visible = true;
    run(":late!l@h PRIVMSG alice :anyone?\r\n");
    QCOMPARE(table.findSlot(u"late"_qs), -1);
    QCOMPARE(table.ConversationNicks[0], u"n0"_qs);
    QCOMPARE(table.ConversationNicks[100], QString());
    // Shown in the first window, logged under the sender's own name.
    QCOMPARE(partnerLog("late").lines, codes(QStringList{"[B][C]6 < late > [C]01[B]anyone?"}));
    QVERIFY(partnerLog("n0").lines.isEmpty());
    QCOMPARE(m_presenter.calls, QStringList{"flash 0"});
}

void TestInterpreterPrivates::refusingNewPrivates()
{
    m_session->conversations().claim(3, QStringLiteral("bob"));
    m_session->setRefuseNewPrivates(true);
    run(":bob!b@h PRIVMSG alice :still here\r\n:carl!c@h PRIVMSG alice :let me in\r\n");
    QCOMPARE(partnerLog("bob").lines.size(), 1);
    QCOMPARE(m_session->conversations().findSlot(u"carl"_qs), -1);
    QCOMPARE(m_session->conversations().firstFreeSlot(), 0);
    QCOMPARE(m_presenter.calls, (QStringList{"open 3 bob", "flash 3"}));
}

void TestInterpreterPrivates::blockedSenders()
{
    m_session->blockedNicks().setStringList({QStringLiteral("Bob"), QStringLiteral("carl")});
    run(":Bob!b@h PRIVMSG alice :let me talk\r\n:bob!b@h PRIVMSG alice :other case\r\n");
    // The blocked sender is dropped and keeps no slot; the same nick in another case is not
    // blocked.
    QCOMPARE(m_session->conversations().ConversationNicks[0], u"bob"_qs);
    QCOMPARE(m_session->conversations().findSlot(u"Bob"_qs), -1);
    QVERIFY(partnerLog("Bob").lines.isEmpty());

    // A blocked partner whose window is minimized still reaches it.
    m_session->conversations().claim(5, QStringLiteral("carl"));
    m_presenter.windowStates[5].minimized = true;
    m_presenter.calls.clear();
    run(":carl!c@h PRIVMSG alice :psst\r\n");
    QCOMPARE(partnerLog("carl").lines, codes(QStringList{"[B][C]6 < carl > [C]01[B]psst"}));
    QCOMPARE(m_presenter.calls, QStringList{"flash 5"});
}

void TestInterpreterPrivates::privateActionsAndRequests()
{
    const QByteArray sent = run(":bob!b@h PRIVMSG alice :\x01"
                                "ACTION waves\x01\r\n"
                                ":carl!c@h PRIVMSG alice :\x01VERSION\x01\r\n"
                                ":dee!d@h PRIVMSG alice :\x01PING 123\x01\r\n");
    // Actions appear; other requests are answered where known and never shown, and they take
    // no conversation slot.
    QCOMPARE(partnerLog("bob").lines,
             codes(QStringList{"[B][C]6 < bob > [C]01[B][C]6[B]***  waves"}));
    QCOMPARE(sent, QByteArray("Notice carl :\x01VERSION Velmora Messenger Ver 1.0\x01\n"));
    QCOMPARE(m_session->conversations().findSlot(u"carl"_qs), -1);
    QCOMPARE(m_session->conversations().findSlot(u"dee"_qs), -1);
    QCOMPARE(m_presenter.calls, (QStringList{"open 0 bob", "flash 0"}));
}

void TestInterpreterPrivates::clearform()
{
    ConversationTable &table = m_session->conversations();
    table.claim(0, QStringLiteral("bob"));
    table.claim(1, QStringLiteral("carl"));
    m_session->clearform(QStringLiteral("nobody"));
    m_session->clearform(QStringLiteral("Bob"));
    QCOMPARE(table.ConversationNicks[0], u"bob"_qs);
    m_session->clearform(QStringLiteral("bob"));
    QCOMPARE(table.ConversationNicks[0], QString());
    QCOMPARE(table.ConversationNicks[1], u"carl"_qs);
    // The freed slot's view is kept for the next partner.
    ChatBuffer *view = &table.view(0);
    run(":dee!d@h PRIVMSG alice :hello\r\n");
    QCOMPARE(table.ConversationNicks[0], u"dee"_qs);
    QCOMPARE(&table.view(0), view);
}

void TestInterpreterPrivates::quitReachesTheConversation()
{
    m_session->conversations().claim(2, QStringLiteral("bob"));
    m_session->members().add(QStringLiteral("bob"));
    run(":bob!b@h QUIT :gone\r\n");
    QCOMPARE(partnerLog("bob").lines,
             codes(QStringList{"[B] ** [C]4bob[C]02[B] has quit [B]#velmora"}));
    QCOMPARE(m_presenter.calls, QStringList{"flash 2"});
    QCOMPARE(m_session->members().count(), 0);
}

void TestInterpreterPrivates::noSuchNickShowsTheConversation()
{
    m_session->conversations().claim(4, QStringLiteral("bob"));
    m_session->conversations().setCaption(4, QStringLiteral("bob"));
    run(":srv 401 alice bob :No such nick/channel\r\n:srv 401 alice Bob :No such nick\r\n");
    QCOMPARE(m_presenter.calls,
             (QStringList{"show 4", "message Information|Chat Error|The nick bob has either change "
                                    "the nick or has quit the Chat !"}));
}

QTEST_GUILESS_MAIN(TestInterpreterPrivates)
#include "tst_interpreter_privates.moc"
