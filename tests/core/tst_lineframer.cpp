#include "irc/lineframer.h"
#include "text/textcodec.h"

#include <QtTest>

class TestLineFramer : public QObject
{
    Q_OBJECT
private slots:
    void framing_data();
    void framing();
    void longLineIsCut();
    void decoding_data();
    void decoding();
};

namespace {
QStringList feedAll(LineFramer &framer, const QList<QByteArray> &chunks, QList<int> *perChunk)
{
    QStringList lines;
    for (const QByteArray &chunk : chunks) {
        const qsizetype before = lines.size();
        framer.feed(chunk, [&lines](const QString &line) { lines << line; });
        if (perChunk)
            perChunk->append(int(lines.size() - before));
    }
    return lines;
}
} // namespace

void TestLineFramer::framing_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("linesPerChunk");

    QTest::newRow("one chunk, CR kept")
        << QList<QByteArray>{"A\r\nB\r\n"} << QStringList{"A\r", "B\r", ""} << QList<int>{3};
    QTest::newRow("two pieces, split mid-line")
        << QList<QByteArray>{"PI", "NG :x\r\nNEXT\r\n"} << QStringList{"PING :x\r", "NEXT\r", ""}
        << QList<int>{0, 3};
    QTest::newRow("complete line then partial")
        << QList<QByteArray>{"A\r\nB", "C\r\n"} << QStringList{"A\r", "BC\r", ""}
        << QList<int>{1, 2};
    QTest::newRow("bare LF and empty lines")
        << QList<QByteArray>{"\n\nX\n"} << QStringList{"", "", "X", ""} << QList<int>{4};
    QTest::newRow("CR at chunk end waits for LF")
        << QList<QByteArray>{"A\r", "\n"} << QStringList{"A\r", ""} << QList<int>{0, 2};
    QTest::newRow("NUL does not stop a line")
        << QList<QByteArray>{QByteArray("a\0b\n", 4)}
        << QStringList{QStringView(u"a\0b", 3).toString(), ""} << QList<int>{2};
}

void TestLineFramer::framing()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<int>, linesPerChunk);
    LineFramer framer;
    QList<int> perChunk;
    QTEST(feedAll(framer, chunks, &perChunk), "lines");
    QCOMPARE(perChunk, linesPerChunk);
}

void TestLineFramer::longLineIsCut()
{
    LineFramer framer;
    const QByteArray huge(LineFramer::MaxLineBytes * 3, 'x');
    QStringList lines;
    auto collect = [&lines](const QString &line) { lines << line; };
    for (qsizetype at = 0; at < huge.size(); at += 4096)
        framer.feed(QByteArrayView(huge).sliced(at, std::min<qsizetype>(4096, huge.size() - at)),
                    collect);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first().size(), LineFramer::MaxLineBytes);
    QVERIFY(framer.pendingBytes() == 0);
    framer.feed("tail of it\r\nNEXT\r\n", collect);
    QCOMPARE(lines.mid(1), (QStringList{"NEXT\r", ""}));

    // A long line arriving whole is cut the same way, on a UTF-8 character boundary.
    lines.clear();
    QByteArray whole = QByteArray(LineFramer::MaxLineBytes - 1, 'y') + "\xc3\xa9" + "zz\n";
    framer.feed(whole, collect);
    QCOMPARE(lines.first(), QString(LineFramer::MaxLineBytes - 1, u'y'));
}

void TestLineFramer::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("hello") << u"hello"_qs;
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac") << u"café €"_qs;
    QTest::newRow("windows-1252 fallback")
        << QByteArray("caf\xe9 \x80 \x93q\x94") << u"café € “q”"_qs;
    QTest::newRow("overlong utf-8 is not utf-8") << QByteArray("\xc0\xaf") << u"À¯"_qs;
    QTest::newRow("surrogate is not utf-8") << QByteArray("\xed\xa0\x80") << u"í\u00a0€"_qs;
    QTest::newRow("truncated sequence") << QByteArray("a\xe2\x82") << u"aâ‚"_qs;
}

void TestLineFramer::decoding()
{
    QFETCH(QByteArray, bytes);
    QTEST(decodeLine(bytes), "text");
}

QTEST_GUILESS_MAIN(TestLineFramer)
#include "tst_lineframer.moc"
