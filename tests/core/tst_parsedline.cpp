#include "irc/parsedline.h"

#include <QtTest>

class TestParsedLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void getParams_data();
    void getParams();
    void splitAtFirst();
    void thousandsOfParameters();
};

void TestParsedLine::parse_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<int>("paramCount");

    QTest::newRow("full prefix") << u":nick!user@host PRIVMSG #room :hello there\r"_qs
                                 << "nick!user@host"
                                 << "nick"
                                 << "user"
                                 << "host"
                                 << "PRIVMSG" << QStringList{"#room", "hello there\r"} << 2;
    QTest::newRow("no blank after command") << ":srv PING"
                                            << "srv"
                                            << ""
                                            << ""
                                            << "srv"
                                            << "PING" << QStringList{""} << 0;
    QTest::newRow("no prefix") << "PING :abc"
                               << ""
                               << ""
                               << ""
                               << ""
                               << "PING" << QStringList{"abc"} << 1;
    QTest::newRow("server prefix") << ":srv 001 me :Welcome"
                                   << "srv"
                                   << ""
                                   << ""
                                   << "srv"
                                   << "001" << QStringList{"me", "Welcome"} << 2;
    QTest::newRow("no @ in prefix") << ":nick!ident QUIT :bye"
                                    << "nick!ident"
                                    << "nick"
                                    << "ident"
                                    << "ident"
                                    << "QUIT" << QStringList{"bye"} << 1;
    QTest::newRow("two blanks give empty parameter") << "MODE #r  +o"
                                                     << ""
                                                     << ""
                                                     << ""
                                                     << ""
                                                     << "MODE" << QStringList{"#r", "", "+o"} << 3;
    QTest::newRow("trailing keeps blanks") << "TOPIC #r : spaced  out "
                                           << ""
                                           << ""
                                           << ""
                                           << ""
                                           << "TOPIC" << QStringList{"#r", " spaced  out "} << 2;
    QTest::newRow("colon inside a middle parameter") << "X a:b c"
                                                     << ""
                                                     << ""
                                                     << ""
                                                     << ""
                                                     << "X" << QStringList{"a:b", "c"} << 2;
    QTest::newRow("lone colon") << ":"
                                << ""
                                << ""
                                << ""
                                << ""
                                << "" << QStringList{""} << 0;
    QTest::newRow("empty prefix") << ": PING x"
                                  << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "PING" << QStringList{"x"} << 1;
    QTest::newRow("trailing blank") << "JOIN "
                                    << ""
                                    << ""
                                    << ""
                                    << ""
                                    << "JOIN" << QStringList{""} << 1;
    QTest::newRow("empty line") << ""
                                << ""
                                << ""
                                << ""
                                << ""
                                << "" << QStringList{""} << 0;
}

void TestParsedLine::parse()
{
    QFETCH(QString, line);
    ParsedLine record;
    ParseLine(line, record);
    QTEST(record.Prefix, "prefix");
    QTEST(record.Nick, "nick");
    QTEST(record.User, "user");
    QTEST(record.Host, "host");
    QTEST(record.Command, "command");
    QTEST(record.Params, "params");
    QTEST(int(record.ParamCount), "paramCount");
}

void TestParsedLine::getParams_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("result");

    const QString three = u":s CMD a b :c d\r"_qs;
    QTest::newRow("second to end, CR removed") << three << 2 << -1 << "b c d";
    QTest::newRow("one parameter") << three << 1 << 1 << "a";
    QTest::newRow("all") << three << 1 << -1 << "a b c d";
    QTest::newRow("last equals count") << three << 3 << 3 << "c d";
    QTest::newRow("first past the end") << three << 4 << -1 << "";
    QTest::newRow("last past the count") << three << 1 << 5 << "";
    QTest::newRow("first zero") << three << 0 << 2 << "";
    QTest::newRow("first after last") << three << 3 << 2 << "";
    QTest::newRow("no parameters") << ":s PING" << 1 << -1 << "";
    QTest::newRow("PING with two words") << "PING abc def" << 1 << 1 << "abc";
    QTest::newRow("CR in the middle removed") << u"X a\rb"_qs << 1 << -1 << "ab";
}

void TestParsedLine::getParams()
{
    QFETCH(QString, line);
    QFETCH(int, first);
    QFETCH(int, last);
    ParsedLine record;
    ParseLine(line, record);
    QTEST(GetParams(record, first, last), "result");
}

void TestParsedLine::splitAtFirst()
{
    QString before, after;
    SplitAtFirst(u"a!b!c"_qs, u'!', before, after);
    QCOMPARE(before, u"a"_qs);
    QCOMPARE(after, u"b!c"_qs);
    SplitAtFirst(u"abc"_qs, u'!', before, after);
    QCOMPARE(before, u"abc"_qs);
    QCOMPARE(after, u"abc"_qs);
}

void TestParsedLine::thousandsOfParameters()
{
    // Parameters beyond the 16-bit count stay together in the last one; nothing is lost.
    QStringList words;
    for (int i = 0; i < 40000; ++i)
        words << QString::number(i);
    ParsedLine record;
    ParseLine(u"CMD "_qs + words.join(u' '), record);
    QCOMPARE(int(record.ParamCount), 32767);
    QCOMPARE(record.Params.size(), 32767);
    QCOMPARE(record.Params.first(), u"0"_qs);
    QCOMPARE(GetParams(record, 1, -1), words.join(u' '));
}

QTEST_GUILESS_MAIN(TestParsedLine)
#include "tst_parsedline.moc"
