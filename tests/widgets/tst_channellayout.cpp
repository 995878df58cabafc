#include "channel/channellayout.h"

#include <QtTest>

// The room window's layout rules in twips, on their own.
class TestChannelLayout : public QObject
{
    Q_OBJECT
private slots:
    void designSize_data();
    void designSize();
    void minimizedKeepsRefusedSizes();
    void pixels();
};

void TestChannelLayout::designSize_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QRect>("rect");
    // At 9135 x 9000 twips.
    QTest::newRow("datain") << "datain" << QRect(120, 405, 6645, 6900);
    QTest::newRow("lstnicks") << "lstnicks" << QRect(6835, 405, 2040, 6600);
    QTest::newRow("dataout") << "dataout" << QRect(120, 7370, 6135, 330);
    QTest::newRow("cmdsend") << "cmdsend" << QRect(6315, 7370, 615, 315);
    QTest::newRow("rtbtopic") << "rtbtopic" << QRect(765, 165, 5945, 240);
    QTest::newRow("Tab1") << "Tab1" << QRect(0, 0, 9135, 8180);
    QTest::newRow("lblusers") << "lblusers" << QRect(7145, 165, 1680, 255);
    QTest::newRow("lblcolortitle") << "lblcolortitle" << QRect(7235, 7000, 1335, 255);
    QTest::newRow("chkbold") << "chkbold" << QRect(7085, 7340, 795, 255);
    QTest::newRow("chkunder") << "chkunder" << QRect(7935, 7340, 1095, 255);
    QTest::newRow("shapenicktop") << "shapenicktop" << QRect(6835, 150, 2040, 615);
    QTest::newRow("shapebg1") << "shapebg1" << QRect(0, 0, 9135, 7750);
    QTest::newRow("web2") << "web2" << QRect(75, 690, 8985, 7300);
    QTest::newRow("shapebg3") << "shapebg3" << QRect(0, 0, 9985, 7750);
}

void TestChannelLayout::designSize()
{
    QFETCH(QString, element);
    QFETCH(QRect, rect);
    QCOMPARE(ChannelLayout::forSize(9135, 9000).rect(element), rect);
}

void TestChannelLayout::minimizedKeepsRefusedSizes()
{
    // A minimized window is tiny: negative sizes are refused and keep the design value, the
    // other rules still run.
    const ChannelLayout layout = ChannelLayout::forSize(2000, 500);
    const QHash<QString, QRect> &design = ChannelLayout::designRects();
    QCOMPARE(layout.rect("datain").width(), design["datain"].width());
    QCOMPARE(layout.rect("datain").height(), design["datain"].height());
    QCOMPARE(layout.rect("Tab1").width(), 2000);
    QCOMPARE(layout.rect("lstnicks").left(), -300);
    QCOMPARE(layout.rect("dataout").top(), -1130);
}

void TestChannelLayout::pixels()
{
    const Twips at96 = Twips::forDpi(96, 96);
    QCOMPARE(at96.perPixelX, 15.0);
    QCOMPARE(at96.toPixels(QRect(120, 405, 6645, 6900)), QRect(8, 27, 443, 460));
    QCOMPARE(at96.toPixelsX(ChannelLayout::MinimumWidth), 566);
    QCOMPARE(at96.toPixelsY(ChannelLayout::MinimumHeight), 466);
    const Twips at120 = Twips::forDpi(120, 120);
    QCOMPARE(at120.toPixelsX(1440), 120);
}

QTEST_GUILESS_MAIN(TestChannelLayout)
#include "tst_channellayout.moc"
