#include "text/appendformatted.h"
#include "text/chatbuffer.h"

#include <QtTest>

// A conversation keeps a bounded number of lines: past the bound the oldest go, and what the
// buffer knows of each kept line (text, styles, links, highlight) stays with that line.
class TestScrollback : public QObject
{
    Q_OBJECT
private slots:
    void oldestLinesGo_data();
    void oldestLinesGo();
};

namespace {

// Line number k says who it is, carries a bold run, a link on every third line and, on every
// fifth, a highlight; its text is padded to the given length.
void appendNumbered(ChatBuffer &buffer, int k, int padding)
{
    QString text = u"\x02line %1\x02 "_qs.arg(k);
    if (k % 3 == 0)
        text += u"see https://example.org/%1 "_qs.arg(k);
    text += QString(padding, u'x');
    AppendFormatted(buffer, text);
    if (k % 5 == 0)
        buffer.highlightLine(buffer.lineCount() - 1);
}

} // namespace

void TestScrollback::oldestLinesGo_data()
{
    QTest::addColumn<int>("appended");
    QTest::addColumn<int>("padding");
    QTest::newRow("up to the bound") << 100 << 0;
    QTest::newRow("one past it") << 101 << 0;
    QTest::newRow("many times past it") << 1000 << 0;
    // About 30 KB a line: the text spreads over many chunks, and the oldest chunks go too.
    QTest::newRow("long lines") << 400 << 30000;
}

void TestScrollback::oldestLinesGo()
{
    QFETCH(int, appended);
    QFETCH(int, padding);
    ChatBuffer buffer;
    buffer.setMaxLines(100);
    int dropped = 0;
    int mostKept = 0;
    connect(&buffer, &ChatBuffer::linesDropped, this, [&](int count) { dropped += count; });
    connect(&buffer, &ChatBuffer::lineAppended, this,
            [&] { mostKept = std::max(mostKept, buffer.lineCount()); });
    for (int k = 0; k < appended; ++k)
        appendNumbered(buffer, k, padding);

    QVERIFY(mostKept <= 100);
    QCOMPARE(dropped + buffer.lineCount(), appended);
    QCOMPARE(dropped > 0, appended > 100);
    for (int line = 0; line < buffer.lineCount(); ++line) {
        const int k = dropped + line;
        const QString text = buffer.lineText(line);
        QVERIFY2(text.startsWith(u"line %1 "_qs.arg(k)), qPrintable(text.left(40)));
        QCOMPARE(text.size(),
                 (u"line %1 "_qs.arg(k)).size() +
                     (k % 3 == 0 ? (u"see https://example.org/%1 "_qs.arg(k)).size() : 0) +
                     padding);
        QVERIFY(!buffer.lineRuns(line).empty());
        QVERIFY(buffer.lineRuns(line).front().styles & ChatBuffer::Bold);
        const auto links = buffer.lineLinks(line);
        QCOMPARE(links.size(), size_t(k % 3 == 0 ? 1 : 0));
        if (!links.empty())
            QCOMPARE(text.mid(links[0].start, links[0].length),
                     u"https://example.org/%1"_qs.arg(k));
        QCOMPARE(buffer.isHighlighted(line), k % 5 == 0);
    }
}

QTEST_GUILESS_MAIN(TestScrollback)
#include "tst_scrollback.moc"
