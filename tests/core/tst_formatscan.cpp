#include "text/appendformatted.h"
#include "text/chatbuffer.h"
#include "text/formatscan.h"

#include <QtTest>

namespace {

QString hex(QRgb colour)
{
    return QStringLiteral("%1").arg(colour & 0xffffff, 6, 16, QLatin1Char('0'));
}

// "text|rrggbb[/background]|styles" for each run, styles from b (bold), u (underline),
// r (reverse), i (italic), s (strikeout), m (monospace).
QStringList describe(const FormattedLine &line)
{
    QStringList out;
    for (const FormatRun &run : line.runs) {
        QString styles;
        for (const auto &[on, letter] : {std::pair{run.bold, u'b'},
                                         {run.underline, u'u'},
                                         {run.reverse, u'r'},
                                         {run.italic, u'i'},
                                         {run.strikeout, u's'},
                                         {run.monospace, u'm'}})
            if (on)
                styles += letter;
        const QString colours =
            run.hasBackground ? hex(run.colour) + u'/' + hex(run.background) : hex(run.colour);
        out << QStringLiteral("%1|%2|%3")
                   .arg(line.text.mid(run.start, run.length), colours, styles);
    }
    return out;
}

class RecordingLog : public LineLog
{
public:
    QStringList lines;
    void write(QStringView rawLine) override { lines << rawLine.toString(); }
};

} // namespace

class TestFormatScan : public QObject
{
    Q_OBJECT
private slots:
    void scan_data();
    void scan();
    void colourSpecShapes_data();
    void colourSpecShapes();
    void palette();
    void appendFormattedBounds();
    void appendFormattedLogsAndSizes();
};

void TestFormatScan::scan_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("runs");
    QTest::newRow("colour then text") << u"\x03"
                                         "4hello"_qs
                                      << QStringList{"hello|ff0000|"};
    QTest::newRow("background drawn") << u"\x03"
                                         "12,5text"_qs
                                      << QStringList{"text|0000ff/7f0000|"};
    QTest::newRow("two digits at most") << u"\x03"
                                           "123"_qs
                                        << QStringList{"3|0000ff|"};
    QTest::newRow("comma swallowed") << u"\x03"
                                        "4,x"_qs
                                     << QStringList{"x|ff0000|"};
    QTest::newRow("comma first resets") << u"\x03"
                                           ",5"_qs
                                        << QStringList{",5|000000|"};
    QTest::newRow("outside the table") << u"\x03"
                                          "99a"_qs
                                       << QStringList{"a|000000|"};
    QTest::newRow("bold toggles") << u"\x02"
                                     "bold\x02 plain"_qs
                                  << QStringList{"bold|000000|b", " plain|000000|"};
    QTest::newRow("trailing colour ignored") << u"\x03"
                                                "4x abc\x03"
                                                "4"_qs
                                             << QStringList{"x abc|ff0000|"};
    QTest::newRow("code 15 ends bold and colour") << u"\x03"
                                                     "4\x02"
                                                     "a\x0f"
                                                     "b\x0f"
                                                     "c"_qs
                                                  << QStringList{"a|ff0000|b", "bc|000000|"};
    QTest::newRow("reverse") << u"x\x16"
                                "y"_qs
                             << QStringList{"x|000000|", "y|000000|r"};
    QTest::newRow("underline") << u"\x1f"
                                  "u\x1f"
                                  "n"_qs
                               << QStringList{"u|000000|u", "n|000000|"};
    QTest::newRow("leading zero") << u"\x03"
                                     "04text"_qs
                                  << QStringList{"text|ff0000|"};
    QTest::newRow("extended background") << u"\x03"
                                            "1,23x"_qs
                                         << QStringList{"x|000000/002747|"};
    QTest::newRow("only a colour code") << u"\x03"_qs << QStringList{};
    QTest::newRow("single space") << u" "_qs << QStringList{" |000000|"};
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("same style merged") << u"a\x02\x02"
                                          "b"_qs
                                       << QStringList{"ab|000000|"};
    QTest::newRow("code right after colour") << u"\x03"
                                                "4a\x03\x02"
                                                "b"_qs
                                             << QStringList{"a|ff0000|", "b|000000|b"};
    QTest::newRow("second comma shown") << u"\x03"
                                           "99,99,x"_qs
                                        << QStringList{",x|000000|"};
    QTest::newRow("colour 8 of the display") << u"\x03"
                                                "8y"_qs
                                             << QStringList{"y|ffbe17|"};
    QTest::newRow("other controls hidden") << u"a\x01"
                                              "b\x07"
                                              "c\x1b"
                                              "d"_qs
                                           << QStringList{"abcd|000000|"};
    QTest::newRow("tab kept") << u"a\tb"_qs << QStringList{u"a\tb|000000|"_qs};
    QTest::newRow("italic") << u"\x1d"
                               "it\x1d"
                               " no"_qs
                            << QStringList{"it|000000|i", " no|000000|"};
    QTest::newRow("strikeout") << u"\x1e"
                                  "s"_qs
                               << QStringList{"s|000000|s"};
    QTest::newRow("monospace") << u"\x11"
                                  "m"_qs
                               << QStringList{"m|000000|m"};
    QTest::newRow("code 15 ends every style") << u"\x03"
                                                 "4,8\x1d\x1e\x11\x16\x1f\x02x\x0fy"_qs
                                              << QStringList{"x|ff0000/ffbe17|burism", "y|000000|"};
    QTest::newRow("bare colour code ends the background")
        << u"\x03"
           "4,5a\x03"
           "b"_qs
        << QStringList{"a|ff0000/7f0000|", "b|000000|"};
    QTest::newRow("foreground alone keeps the background")
        << u"\x03"
           "4,5a\x03"
           "12b"_qs
        << QStringList{"a|ff0000/7f0000|", "b|0000ff/7f0000|"};
    QTest::newRow("background 99 is none") << u"\x03"
                                              "4,5a\x03"
                                              "4,99b"_qs
                                           << QStringList{"a|ff0000/7f0000|", "b|ff0000|"};
    QTest::newRow("extended colours")
        << u"\x03"
           "16a\x03"
           "52b\x03"
           "88c\x03"
           "98d"_qs
        << QStringList{"a|470000|", "b|ff0000|", "c|000000|", "d|ffffff|"};
    QTest::newRow("hex colour") << u"\x04"
                                   "ff8800hex"_qs
                                << QStringList{"hex|ff8800|"};
    QTest::newRow("hex colour and background") << u"\x04"
                                                  "FF8800,00aa11x"_qs
                                               << QStringList{"x|ff8800/00aa11|"};
    QTest::newRow("bare hex code ends colours") << u"\x03"
                                                   "4,5a\x04"
                                                   "b"_qs
                                                << QStringList{"a|ff0000/7f0000|", "b|000000|"};
    QTest::newRow("short hex is text") << u"\x04"
                                          "ff88x"_qs
                                       << QStringList{"ff88x|000000|"};
    QTest::newRow("hex comma without a colour is text") << u"\x04"
                                                           "ff8800,zz"_qs
                                                        << QStringList{",zz|ff8800|"};
    QTest::newRow("reverse keeps the background") << u"\x03"
                                                     "4,12\x16r"_qs
                                                  << QStringList{"r|ff0000/0000ff|r"};
}

void TestFormatScan::scan()
{
    QFETCH(QString, text);
    QFETCH(QStringList, runs);
    const FormattedLine line = scanFormatted(text);
    QCOMPARE(describe(line), runs);
    int covered = 0;
    for (const FormatRun &run : line.runs)
        covered += run.length;
    QCOMPARE(covered, line.text.size());
}

void TestFormatScan::colourSpecShapes_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("valid");
    for (const char *valid :
         {"", "1", "12", "1,2", "12,3", "1,23", "1,", "12,", "12,34", ",1", ",12"})
        QTest::addRow("valid '%s'", valid) << QString::fromLatin1(valid) << true;
    for (const char *invalid : {",", "123", "1,234", "a", "1,a", ",,", "1,2,", "1 ", "\xd9\xa3"})
        QTest::addRow("invalid '%s'", invalid) << QString::fromUtf8(invalid) << false;
}

void TestFormatScan::colourSpecShapes()
{
    QFETCH(QString, number);
    QFETCH(bool, valid);
    QCOMPARE(IsColourSpec(number), valid);
}

void TestFormatScan::palette()
{
    QCOMPARE(PaletteColour(0), qRgb(255, 255, 255));
    QCOMPARE(PaletteColour(1), qRgb(0, 0, 0));
    QCOMPARE(PaletteColour(8), qRgb(255, 190, 23));
    QCOMPARE(PaletteColour(10), qRgb(0, 148, 144));
    QCOMPARE(PaletteColour(15), qRgb(184, 184, 184));
    // 16 to 98: the extended colours other clients send.
    QCOMPARE(PaletteColour(16), qRgb(0x47, 0, 0));
    QCOMPARE(PaletteColour(22), qRgb(0, 0x47, 0x47));
    QCOMPARE(PaletteColour(52), qRgb(255, 0, 0));
    QCOMPARE(PaletteColour(98), qRgb(255, 255, 255));
    QCOMPARE(PaletteColour(99), qRgb(0, 0, 0));
    QCOMPARE(PaletteColour(-1), qRgb(0, 0, 0));
}

void TestFormatScan::appendFormattedBounds()
{
    ChatBuffer view;
    QVERIFY(AppendFormatted(view, QString()));
    QCOMPARE(view.lineCount(), 0);

    const QString longest(32767, u'x');
    QVERIFY(AppendFormatted(view, longest));
    QCOMPARE(view.lineCount(), 1);
    QCOMPARE(view.lineText(0), longest);

    // Longer lines are cut in the view and its log alike, and the cut is said.
    RecordingLog log;
    view.setLog(&log);
    QVERIFY(!AppendFormatted(view, longest + u"yz"_qs));
    QCOMPARE(view.lineCount(), 3);
    QCOMPARE(view.lineText(1), longest);
    QVERIFY(view.lineText(2).contains(u"last 2 characters are not shown"_qs));
    QCOMPARE(log.lines, (QStringList{longest, u"\x03"
                                              "4"_qs +
                                                  view.lineText(2)}));

    // A pair of surrogates is never split.
    const QString pairAtTheCut = QString(32766, u'x') + u"\U0001F600"_qs;
    QVERIFY(!AppendFormatted(view, pairAtTheCut));
    QCOMPARE(view.lineText(3), QString(32766, u'x'));
}

void TestFormatScan::appendFormattedLogsAndSizes()
{
    ChatBuffer room;
    room.setBasePointSize(9.75);
    ChatBuffer privateView;
    privateView.setBasePointSize(14);
    privateView.setSizeSource(&room);
    RecordingLog log;
    privateView.setLog(&log);

    const QString raw = u"\x02\x03"
                        "6 < ann > \x03"
                        "01\x02"
                        "héllo"_qs;
    AppendFormatted(privateView, raw);
    AppendFormatted(privateView, QString());
    QCOMPARE(log.lines, QStringList{raw});
    QCOMPARE(privateView.lineText(0), u" < ann > héllo"_qs);
    const auto runs = privateView.lineRuns(0);
    QCOMPARE(runs.size(), size_t(2));
    QCOMPARE(privateView.pointSizeOf(runs[0]), 9.75);
    QCOMPARE(runs[0].colour, PaletteColour(6));
    QCOMPARE(runs[0].styles, quint8(ChatBuffer::Bold));
    QCOMPARE(runs[1].styles, quint8(0));
}

QTEST_GUILESS_MAIN(TestFormatScan)
#include "tst_formatscan.moc"
