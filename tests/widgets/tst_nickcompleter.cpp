#include "irc/roomcomposer.h"
#include "private/conversationwindow.h"
#include "roomwindowfixture.h"
#include "text/roomformatting.h"

#include <QLineEdit>
#include <QtTest>

// Tab in the input boxes completes nicks: in the room from its members, most recent speaker
// first and cycling on; in a private window the partner's nick. Ctrl+Tab moves the focus.
class TestNickCompleter : public QObject, public RoomWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase() { useScratchSettings(); }
    void init() { startRoom(); }
    void cleanup() { stopRoom(); }
    void roomInputCompletesAndCycles();
    void completionInsideTheLine();
    void ctrlTabMovesTheFocus();
    void privateInputCompletesThePartner();
};

void TestNickCompleter::roomInputCompletesAndCycles()
{
    m_server->exchange(":srv 353 alice = #velmora :@bob Barry +bea alice\r\n"
                       ":srv 366 alice #velmora :End\r\n:bea!b@h PRIVMSG #velmora :hi\r\n");
    auto *input = child<QLineEdit>("dataout");
    input->setFocus();
    QTest::keyClicks(input, "b");
    QTest::keyClick(input, Qt::Key_Tab);
    QCOMPARE(input->text(), u"bea: "_qs); // she spoke last
    QVERIFY(input->hasFocus());
    QTest::keyClick(input, Qt::Key_Tab);
    QCOMPARE(input->text(), u"bob: "_qs);
    QTest::keyClick(input, Qt::Key_Tab);
    QCOMPARE(input->text(), u"Barry: "_qs);
    QTest::keyClick(input, Qt::Key_Tab);
    QCOMPARE(input->text(), u"bea: "_qs);
    QTest::keyClicks(input, "hello");
    QCOMPARE(input->text(), u"bea: hello"_qs);
}

void TestNickCompleter::completionInsideTheLine()
{
    m_server->exchange(":srv 353 alice = #velmora :@bob alice\r\n:srv 366 alice #velmora :End\r\n");
    auto *input = child<QLineEdit>("dataout");
    input->setText(u"ask B about it"_qs);
    input->setCursorPosition(5); // after "ask B"
    QTest::keyClick(input, Qt::Key_Tab);
    QCOMPARE(input->text(), u"ask bob about it"_qs);
    QCOMPARE(input->cursorPosition(), 7);
    // Nothing to complete: Tab changes nothing and keeps the focus.
    input->setFocus();
    input->setText(u"zz"_qs);
    QTest::keyClick(input, Qt::Key_Tab);
    QCOMPARE(input->text(), u"zz"_qs);
    QVERIFY(input->hasFocus());
}

void TestNickCompleter::ctrlTabMovesTheFocus()
{
    m_window->activateWindow();
    auto *input = child<QLineEdit>("dataout");
    input->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_VERIFY(input->hasFocus());
    QTest::keyClick(input, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(!input->hasFocus());
}

void TestNickCompleter::privateInputCompletesThePartner()
{
    RoomFormatting formatting;
    RoomComposer composer(*m_session, formatting);
    ChatBuffer buffer;
    ConversationWindow window(*m_session, buffer, composer, formatting);
    window.open(u"Zelda"_qs);
    auto *input = window.findChild<QLineEdit *>(u"txtprvtosnd"_qs);
    QTest::keyClicks(input, "ze");
    QTest::keyClick(input, Qt::Key_Tab);
    QCOMPARE(input->text(), u"Zelda: "_qs);
    input->setText(u"x"_qs);
    QTest::keyClick(input, Qt::Key_Tab);
    QCOMPARE(input->text(), u"x"_qs);
}

QTEST_MAIN(TestNickCompleter)
#include "tst_nickcompleter.moc"
