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
    QTest::addColumn<int>("from"); // where what was said starts; ASCII before it
    QTest::addColumn<bool>("mentions");
    const auto row = [](const char *name, const QString &text, const QString &nick, bool mentions,
                        int from = 0) { QTest::newRow(name) << text << nick << from << mentions; };
    row("alone", u"alice"_qs, u"alice"_qs, true);
    row("in a sentence", u"hi alice, how are you?"_qs, u"alice"_qs, true);
    row("at the end", u"ask alice"_qs, u"alice"_qs, true);
    row("other case", u"ALICE!"_qs, u"alice"_qs, true);
    row("brackets fold", u"thanks {bob}|"_qs, u"[BOB]\\"_qs, true);
    row("tilde folds to caret", u"hey ~x"_qs, u"^X"_qs, true);
    row("rank sign before", u"@alice"_qs, u"alice"_qs, true);
    row("inside a word", u"malice"_qs, u"alice"_qs, false);
    row("followed by letters", u"alicea"_qs, u"alice"_qs, false);
    row("followed by digit", u"alice2 here"_qs, u"alice"_qs, false);
    row("nick characters bound the word", u"alice_ and alice- `alice"_qs, u"alice"_qs, false);
    row("later whole word", u"malice, alice"_qs, u"alice"_qs, true);
    row("letter before, two bytes", u"\u00e9alice"_qs, u"alice"_qs, false);
    row("letter after, two bytes", u"alice\u00e9"_qs, u"alice"_qs, false);
    row("punctuation around, two bytes", u"\u00bfalice\u00bb"_qs, u"alice"_qs, true);
    row("letter after, four bytes", u"alice\U0001D400"_qs, u"alice"_qs, false);
    row("emoji after", u"alice\U0001F600"_qs, u"alice"_qs, true);
    row("non-ASCII nick, case ignored", u"salut \u00c9lodie"_qs, u"\u00e9lodie"_qs, true);
    row("non-ASCII nick inside a word", u"x\u00e9lodie"_qs, u"\u00e9lodie"_qs, false);
    row("long nick", QString(70, u'a') + u" hi"_qs, QString(70, u'A'), true);
    row("only after from", u"alice: hello"_qs, u"alice"_qs, false, 1);
    row("found after from", u"alice: alice"_qs, u"alice"_qs, true, 1);
    row("text before from still bounds", u"Annalice"_qs, u"alice"_qs, false, 3);
    row("empty nick", u"alice"_qs, QString(), false);
    row("empty text", QString(), u"alice"_qs, false);
    row("nick longer than text", u"ali"_qs, u"alice"_qs, false);
}

// Both searches, on the text and on its UTF-8 as a chat buffer keeps it, give the same answer.
void TestMentionDetector::detector()
{
    QFETCH(QString, text);
    QFETCH(QString, nick);
    QFETCH(int, from);
    QTEST(mentions::containsNick(QStringView(text), nick, from), "mentions");
    const QByteArray utf8 = text.toUtf8();
    QTEST(mentions::containsNick(QByteArrayView(utf8), nick, from), "mentions");
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
    QTest::newRow("codes inside the nick") << QByteArray(":Ann!a@h PRIVMSG #velmora :hi al\x02i\x03"
                                                         "04ce\r\n")
                                           << "mention Ann|hi alice";
    QTest::newRow("colour number before the nick") << QByteArray(":Ann!a@h PRIVMSG #velmora :\x03"
                                                                 "04alice\r\n")
                                                   << "mention Ann|alice";
    QTest::newRow("code joins words") << QByteArray(":Ann!a@h PRIVMSG #velmora :m\x02"
                                                    "alice\r\n")
                                      << "";
    QTest::newRow("action without a blank") << QByteArray(":Ann!a@h PRIVMSG #velmora :\x01"
                                                          "ACTIONalice\x01\r\n")
                                            << "";
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
