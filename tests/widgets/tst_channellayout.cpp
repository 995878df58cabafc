#include "channel/channellayout.h"

#include <QtTest>

// The room window's layout rules in twips, on their own, and the conversion every window uses.
class TestChannelLayout : public QObject
{
    Q_OBJECT
private slots:
    void designSize_data();
    void designSize();
    void minimizedKeepsRefusedSizes();
    void pixels();
    void twipsToPixels_data();
    void twipsToPixels();
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

void TestChannelLayout::twipsToPixels_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("backToTwips");
    QTest::newRow("96 dpi, whole pixels") << 96.0 << 7530 << 502 << 7530;
    QTest::newRow("96 dpi, just under half") << 96.0 << 7 << 0 << 0;
    QTest::newRow("96 dpi, just over half") << 96.0 << 8 << 1 << 15;
    QTest::newRow("120 dpi, a half rounds up") << 120.0 << 7530 << 628 << 7536;
    QTest::newRow("120 dpi, 300 twips") << 120.0 << 300 << 25 << 300;
    QTest::newRow("144 dpi, a half rounds up") << 144.0 << 4475 << 448 << 4480;
    QTest::newRow("144 dpi, below a half") << 144.0 << 4474 << 447 << 4470;
    QTest::newRow("72 dpi") << 72.0 << 800 << 40 << 800;
    QTest::newRow("negative") << 96.0 << -1130 << -75 << -1125;
}

void TestChannelLayout::twipsToPixels()
{
    QFETCH(double, dpi);
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QFETCH(int, backToTwips);
    const Twips t = Twips::forDpi(dpi, dpi);
    QCOMPARE(t.toPixelsX(twips), pixels);
    QCOMPARE(t.toPixelsY(twips), pixels);
    QCOMPARE(t.fromPixelsX(pixels), backToTwips);
    QCOMPARE(t.fromPixelsY(pixels), backToTwips);
    // The two axes are kept apart.
    const Twips mixed = Twips::forDpi(dpi, 96);
    QCOMPARE(mixed.toPixelsX(twips), pixels);
    QCOMPARE(mixed.toPixelsY(1440), 96);
}

QTEST_GUILESS_MAIN(TestChannelLayout)
#include "tst_channellayout.moc"
