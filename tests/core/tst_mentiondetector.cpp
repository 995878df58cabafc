#include "interpreterfixture.h"
#include "text/appendformatted.h"
#include "text/mentiondetector.h"

#include <QtTest>

// Which room lines name the user, and what a mention leaves behind: a highlighted line and one
// call to the presenter.
class TestMentionDetector : public QObject, private InterpreterFixture
{
    Q_OBJECT
private slots:
    void detector_data();
    void detector();
    void sameNick_data();
    void sameNick();

    void init() { start(); }
    void cleanup() { stop(); }
    void roomLines_data();
    void roomLines();
    void nickChangeMovesMentions();
    void clearedViewForgetsHighlights();
};

void TestMentionDetector::detector_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("nick");
    QTest::addColumn<bool>("mentions");
    QTest::newRow("alone") << "alice"
                           << "alice" << true;
    QTest::newRow("in a sentence") << "hi alice, how are you?"
                                   << "alice" << true;
    QTest::newRow("at the end") << "ask alice"
                                << "alice" << true;
    QTest::newRow("address colon") << "alice: look"
                                   << "alice" << true;
    QTest::newRow("other case") << "ALICE!"
                                << "alice" << true;
    QTest::newRow("brackets fold") << "thanks {bob}|"
                                   << "[BOB]\\" << true;
    QTest::newRow("tilde folds to caret") << "hey ~x"
                                          << "^X" << true;
    QTest::newRow("rank sign before") << "@alice"
                                      << "alice" << true;
    QTest::newRow("inside a word") << "malice"
                                   << "alice" << false;
    QTest::newRow("followed by letters") << "alicea"
                                         << "alice" << false;
    QTest::newRow("followed by digit") << "alice2 here"
                                       << "alice" << false;
    QTest::newRow("nick characters bound the word") << "alice_ and alice-"
                                                    << "alice" << false;
    QTest::newRow("later whole word") << "malice, alice"
                                      << "alice" << true;
    QTest::newRow("non-ASCII letter bounds") << u"\u00e9alice"_qs << "alice" << false;
    QTest::newRow("non-ASCII nick, case ignored")
        << u"salut \u00c9lodie"_qs << u"\u00e9lodie"_qs << true;
    QTest::newRow("formatting removed") << "hi \x02"
                                           "al\x03"
                                           "04ice\x02"
                                        << "alice" << true;
    QTest::newRow("colour digits are not text") << "\x03"
                                                   "04alice"
                                                << "alice" << true;
    QTest::newRow("code joins words") << "m\x02"
                                         "alice"
                                      << "alice" << false;
    QTest::newRow("empty nick") << "alice"
                                << "" << false;
    QTest::newRow("empty text") << ""
                                << "alice" << false;
    QTest::newRow("nick longer than text") << "ali"
                                           << "alice" << false;
}

void TestMentionDetector::detector()
{
    QFETCH(QString, text);
    QFETCH(QString, nick);
    QTEST(mentions::mentionsNick(text, nick), "mentions");
}

void TestMentionDetector::sameNick_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("case") << "Alice"
                          << "aLICE" << true;
    QTest::newRow("rfc1459 pairs") << "a[]\\~"
                                   << "A{}|^" << true;
    QTest::newRow("prefix") << "alice"
                            << "alic" << false;
    QTest::newRow("other") << "alice"
                           << "bob" << false;
}

void TestMentionDetector::sameNick()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QTEST(mentions::sameNick(a, b), "same");
}

void TestMentionDetector::roomLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("call"); // empty: no mention
    QTest::newRow("message") << QByteArray(":Ann!a@h PRIVMSG #velmora :hi \x02"
                                           "Alice\x02!\r\n")
                             << "mention Ann|hi Alice!";
    QTest::newRow("action") << QByteArray(":Ann!a@h PRIVMSG #velmora :\x01"
                                          "ACTION waves at "
                                          "alice\x01\r\n")
                            << "mention Ann|Ann waves at alice";
    QTest::newRow("own line echoed")
        << QByteArray(":ALICE!a@h PRIVMSG #velmora :alice here\r\n") << "";
    QTest::newRow("part of a word") << QByteArray(":Ann!a@h PRIVMSG #velmora :malice\r\n") << "";
    QTest::newRow("private message") << QByteArray(":Ann!a@h PRIVMSG alice :hi alice\r\n") << "";
    QTest::newRow("notice") << QByteArray(":Ann!a@h NOTICE #velmora :hi alice\r\n") << "";
}

void TestMentionDetector::roomLines()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, call);
    ChatBuffer &room = m_session->roomView();
    const int before = room.lineCount();
    run(":Bob!b@h PRIVMSG #velmora :first\r\n" + line + ":Bob!b@h PRIVMSG #velmora :last\r\n");
    QTRY_VERIFY(room.lineCount() > before + 1 &&
                room.lineText(room.lineCount() - 1).endsWith(u"last"));
    const QStringList mentions = m_presenter.calls.filter(QStringLiteral("mention "));
    QCOMPARE(mentions, call.isEmpty() ? QStringList() : QStringList{call});
    QVERIFY(!room.isHighlighted(before));
    QVERIFY(!room.isHighlighted(room.lineCount() - 1));
    if (line.contains("PRIVMSG #velmora"))
        QCOMPARE(room.isHighlighted(before + 1), !call.isEmpty());
}

void TestMentionDetector::nickChangeMovesMentions()
{
    run(":alice!a@h NICK :zed\r\n:Ann!a@h PRIVMSG #velmora :alice?\r\n"
        ":Ann!a@h PRIVMSG #velmora :zed!\r\n");
    QTRY_COMPARE(m_presenter.calls.filter(QStringLiteral("mention ")),
                 QStringList{u"mention Ann|zed!"_qs});
}

void TestMentionDetector::clearedViewForgetsHighlights()
{
    ChatBuffer &room = m_session->roomView();
    run(":Ann!a@h PRIVMSG #velmora :alice\r\n");
    QTRY_VERIFY(room.lineCount() > 0 && room.isHighlighted(room.lineCount() - 1));
    room.clear();
    AppendFormatted(room, u"plain"_qs);
    QVERIFY(!room.isHighlighted(0));
    room.highlightLine(5); // not appended yet
    QVERIFY(!room.isHighlighted(5));
}

QTEST_GUILESS_MAIN(TestMentionDetector)
#include "tst_mentiondetector.moc"
