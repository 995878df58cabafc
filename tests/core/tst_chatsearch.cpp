#include "text/chatbuffer.h"
#include "text/chatsearch.h"

#include <QtTest>

namespace {

void fill(ChatBuffer &buffer, const QStringList &lines)
{
    for (const QString &line : lines)
        buffer.appendLine(FormattedLine{line, {}}, 10);
}

} // namespace

// Finding a text in the stored lines of a conversation, forwards and backwards from a place.
class TestChatSearch : public QObject
{
    Q_OBJECT
private slots:
    void find_data();
    void find();
    void matchesInALine_data();
    void matchesInALine();
    void hundredThousandLines();
};

void TestChatSearch::find_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<int>("fromLine");
    QTest::addColumn<int>("fromOffset");
    QTest::addColumn<int>("line"); // -1: not found
    QTest::addColumn<int>("start");

    const QStringList three = {u"alpha Beta"_qs, u"gamma"_qs, u"beta beta"_qs};
    QTest::newRow("forward from the top")
        << three << u"beta"_qs << false << true << 0 << 0 << 0 << 6;
    QTest::newRow("forward from inside a match")
        << three << u"beta"_qs << false << true << 0 << 7 << 2 << 0;
    QTest::newRow("second match in a line")
        << three << u"beta"_qs << false << true << 2 << 1 << 2 << 5;
    QTest::newRow("forward wraps to the top")
        << three << u"alpha"_qs << false << true << 1 << 0 << 0 << 0;
    QTest::newRow("forward wraps within the starting line")
        << three << u"gamma"_qs << false << true << 1 << 1 << 1 << 0;
    QTest::newRow("backward from the end")
        << three << u"beta"_qs << false << false << 3 << 0 << 2 << 5;
    QTest::newRow("backward before a match")
        << three << u"beta"_qs << false << false << 2 << 5 << 2 << 0;
    QTest::newRow("backward wraps to the end")
        << three << u"gamma"_qs << false << false << 0 << 0 << 1 << 0;
    QTest::newRow("match case skips other case")
        << three << u"beta"_qs << true << true << 0 << 0 << 2 << 0;
    QTest::newRow("match case finds its case")
        << three << u"Beta"_qs << true << false << 2 << 0 << 0 << 6;
    QTest::newRow("not found") << three << u"delta"_qs << false << true << 0 << 0 << -1 << 0;
    QTest::newRow("not found in its case")
        << three << u"GAMMA"_qs << true << true << 0 << 0 << -1 << 0;
    QTest::newRow("empty text finds nothing")
        << three << QString() << false << true << 0 << 0 << -1 << 0;
    QTest::newRow("empty buffer") << QStringList() << u"a"_qs << false << true << 0 << 0 << -1 << 0;
    QTest::newRow("matches do not overlap")
        << QStringList{u"aaaa"_qs} << u"aa"_qs << true << true << 0 << 1 << 0 << 2;
    // Offsets count UTF-16 units before the match, whatever the stored bytes.
    const QStringList wide = {u"caf\u00e9 \U0001F600 na\u00efve"_qs,
                              u"\u4e2d\u6587 \u00c9t\u00e9"_qs};
    QTest::newRow("after accents and an emoji, matching case")
        << wide << u"na\u00efve"_qs << true << true << 0 << 0 << 0 << 8;
    QTest::newRow("after accents and an emoji, ignoring case")
        << wide << u"NA\u00cfVE"_qs << false << true << 0 << 0 << 0 << 8;
    QTest::newRow("accented capital ignoring case")
        << wide << u"\u00e9t\u00e9"_qs << false << true << 0 << 0 << 1 << 3;
    QTest::newRow("accented capital matching case")
        << wide << u"\u00e9t\u00e9"_qs << true << true << 0 << 0 << -1 << 0;
    // Ignoring case, characters beyond ASCII that fold to ASCII letters still match them.
    const QStringList folding = {u"plain line"_qs, u"10 \u212Aelvin, \u017Fmall"_qs};
    QTest::newRow("kelvin sign ignoring case")
        << folding << u"kelvin"_qs << false << true << 0 << 0 << 1 << 3;
    QTest::newRow("long s ignoring case")
        << folding << u"Small"_qs << false << true << 0 << 0 << 1 << 11;
    QTest::newRow("mixed text ignoring case")
        << wide << u"\u00c9T\u00c9"_qs << false << true << 0 << 0 << 1 << 3;
    QTest::newRow("text without case ignoring case")
        << wide << u"\u6587 \u00c9"_qs << false << true << 0 << 0 << 1 << 1;
    QTest::newRow("digits and an emoji ignoring case")
        << QStringList{u"x"_qs, u"\u00e9 42\U0001F600 42\U0001F600"_qs} << u"42\U0001F600"_qs
        << false << false << 2 << 0 << 1 << 7;
    QTest::newRow("the emoji itself")
        << wide << u"\U0001F600"_qs << true << false << 2 << 0 << 0 << 5;
}

void TestChatSearch::find()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(bool, forward);
    QFETCH(int, fromLine);
    QFETCH(int, fromOffset);
    QFETCH(int, line);
    QFETCH(int, start);

    ChatBuffer buffer;
    fill(buffer, lines);
    const ChatSearch search(text, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    const ChatMatch found = forward ? search.forward(buffer, fromLine, fromOffset)
                                    : search.backward(buffer, fromLine, fromOffset);
    const ChatMatch expected = line < 0 ? ChatMatch() : ChatMatch{line, start, int(text.size())};
    QCOMPARE(found, expected);
    if (found.isValid())
        QCOMPARE(buffer.lineText(found.line)
                     .mid(found.start, found.length)
                     .compare(text, search.caseSensitivity()),
                 0);
}

void TestChatSearch::matchesInALine_data()
{
    QTest::addColumn<QString>("lineText");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QList<int>>("starts");

    QTest::newRow("each one") << u"Ab ab AB"_qs << u"ab"_qs << false << QList<int>{0, 3, 6};
    QTest::newRow("its case only") << u"Ab ab AB"_qs << u"ab"_qs << true << QList<int>{3};
    QTest::newRow("no overlap") << u"aaaaa"_qs << u"aa"_qs << true << QList<int>{0, 2};
    QTest::newRow("none") << u"hello"_qs << u"x"_qs << false << QList<int>{};
    QTest::newRow("empty text") << u"hello"_qs << QString() << false << QList<int>{};
}

void TestChatSearch::matchesInALine()
{
    QFETCH(QString, lineText);
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(QList<int>, starts);

    const std::vector<int> found =
        ChatSearch(text, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive).matchesIn(lineText);
    QCOMPARE(QList<int>(found.begin(), found.end()), starts);
}

void TestChatSearch::hundredThousandLines()
{
    // One needle far from either end of a long conversation, found from both sides and from
    // past it, in both case modes.
    ChatBuffer buffer;
    for (int i = 0; i < 100000; ++i) {
        const QString line = i == 61234 ? u"<erin> the Needle is here"_qs
                                        : u"<bob> line %1 with some \u00e9t\u00e9 text"_qs.arg(i);
        buffer.appendLine(FormattedLine{line, {}}, 10);
    }
    const ChatMatch needle{61234, 11, 6};
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        const ChatSearch search(cs == Qt::CaseSensitive ? u"Needle"_qs : u"nEEDLE"_qs, cs);
        QCOMPARE(search.forward(buffer, 0, 0), needle);
        QCOMPARE(search.backward(buffer, buffer.lineCount(), 0), needle);
        QCOMPARE(search.forward(buffer, 61235, 0), needle);
        QCOMPARE(search.backward(buffer, 61234, 11), needle);
        QVERIFY(!ChatSearch(u"needles"_qs, cs).forward(buffer, 0, 0).isValid());
    }
}

QTEST_APPLESS_MAIN(TestChatSearch)
#include "tst_chatsearch.moc"
