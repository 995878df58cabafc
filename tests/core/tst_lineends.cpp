#include "text/lineends.h"

#include <QtTest>

// What is left of a text once it is cut at the first CR, LF or NUL.
class TestLineEnds : public QObject
{
    Q_OBJECT
private slots:
    void firstLine_data();
    void firstLine();
};

void TestLineEnds::firstLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("no end") << u"PRIVMSG #room :hi"_qs << u"PRIVMSG #room :hi"_qs;
    QTest::newRow("LF") << u"hi\nQUIT"_qs << u"hi"_qs;
    QTest::newRow("CR") << u"hi\rQUIT"_qs << u"hi"_qs;
    QTest::newRow("NUL") << QString(u"hi\0QUIT"_qs) << u"hi"_qs;
    QTest::newRow("CR LF") << u"hi\r\n"_qs << u"hi"_qs;
    QTest::newRow("the first of several") << u"a\nb\rc"_qs << u"a"_qs;
    QTest::newRow("end first") << u"\nhi"_qs << QString();
    QTest::newRow("other controls stay") << u"\x02\x03"
                                            "4hi\t"_qs
                                         << u"\x02\x03"
                                            "4hi\t"_qs;
    QTest::newRow("beyond Latin-1")
        << u"h\u00e9 \u2028x\U0001F600\ny"_qs << u"h\u00e9 \u2028x\U0001F600"_qs;
}

void TestLineEnds::firstLine()
{
    QFETCH(QString, text);
    QFETCH(QString, line);
    QCOMPARE(::firstLine(text).toString(), line);
}

QTEST_APPLESS_MAIN(TestLineEnds)
#include "tst_lineends.moc"
