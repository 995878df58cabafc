#include "util/fontsubstitutes.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QtTest>

// The faces the windows are designed in resolve to readable stand-ins where they are missing.
class TestFonts : public QObject
{
    Q_OBJECT
private slots:
    void comicSansFallsBackToComicNeue();
};

void TestFonts::comicSansFallsBackToComicNeue()
{
    if (QFontDatabase::hasFamily(u"Comic Sans MS"_qs))
        QSKIP("this system has Comic Sans MS itself");
    QVERIFY2(QFontDatabase::hasFamily(u"Comic Neue"_qs), "fonts-comic-neue is not installed");
    substituteMissingFonts();

    QLabel label(u"Change Color"_qs);
    label.setFont(QFont(u"Comic Sans MS"_qs, 9));
    QCOMPARE(QFontInfo(label.font()).family(), u"Comic Neue"_qs);
    QFont bold(u"Comic Sans MS"_qs, 9.75);
    bold.setBold(true);
    QCOMPARE(QFontInfo(bold).family(), u"Comic Neue"_qs);
}

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
