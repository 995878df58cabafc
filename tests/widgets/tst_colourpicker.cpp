#include "dialogs/colourpicker.h"
#include "text/formatscan.h"
#include "text/roomformatting.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

QColor centrePixel(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.rect().center());
}

} // namespace

class TestColourPicker : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void looks();
    void swatches_data();
    void swatches();
    void clickPicksAndCloses_data();
    void clickPicksAndCloses();
    void escapeClosesWithoutAPick();
    void onlyACompleteClickPicks();
    void swatchEightIsNotItsPreview();
    void previewMatchesTheChatPaletteButForEight();

private:
    QLabel *swatch(int number) const
    {
        return m_picker->findChild<QLabel *>(u"lblcin"_qs + QString::number(number));
    }

    std::unique_ptr<ColourPicker> m_picker;
};

void TestColourPicker::init()
{
    m_picker = std::make_unique<ColourPicker>();
    m_picker->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_picker.get()));
}

void TestColourPicker::cleanup()
{
    m_picker.reset();
}

void TestColourPicker::looks()
{
    QCOMPARE(m_picker->objectName(), u"fromcolor"_qs);
    QCOMPARE(m_picker->windowTitle(), u"Color"_qs);
    QStringList captions;
    for (const QLabel *label : m_picker->findChildren<QLabel *>())
        captions << label->text();
    for (const QString &word : {u"Multi"_qs, u"Colour"_qs, u"Effect"_qs})
        QVERIFY2(captions.contains(word), qPrintable(word));
    // The rainbow strip is no single colour.
    const QImage strip = swatch(16)->grab().toImage();
    const int y = strip.height() / 2;
    QVERIFY(strip.pixelColor(2, y) != strip.pixelColor(strip.width() / 2, y));
    QVERIFY(strip.pixelColor(strip.width() / 2, y) != strip.pixelColor(strip.width() - 3, y));
}

void TestColourPicker::swatches_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QColor>("fill");
    const QList<QColor> fills = {
        {0, 0, 0},     {0, 0, 128},   {0, 128, 0},   {255, 0, 0},     {128, 0, 0},
        {192, 0, 192}, {255, 128, 0}, {255, 255, 0}, {0, 255, 0},     {0, 128, 128},
        {0, 255, 255}, {0, 0, 255},   {255, 0, 255}, {128, 128, 128}, {192, 192, 192},
    };
    for (int i = 0; i < fills.size(); ++i)
        QTest::addRow("swatch %d", i + 1) << i + 1 << fills[i];
}

void TestColourPicker::swatches()
{
    QFETCH(int, number);
    QFETCH(QColor, fill);
    QLabel *label = swatch(number);
    QVERIFY(label);
    QCOMPARE(centrePixel(label), fill);

    // Five rows of three, numbered row by row: compare with the swatch before it.
    if (number == 1)
        return;
    const QPoint here = label->mapTo(m_picker.get(), QPoint());
    const QPoint before = swatch(number - 1)->mapTo(m_picker.get(), QPoint());
    if ((number - 1) % 3 == 0) {
        QVERIFY(here.y() > before.y());
        QCOMPARE(here.x(), swatch(1)->mapTo(m_picker.get(), QPoint()).x());
    } else {
        QCOMPARE(here.y(), before.y());
        QVERIFY(here.x() > before.x());
    }
    QVERIFY(!swatch(number)->geometry().intersects(swatch(number - 1)->geometry()));
}

void TestColourPicker::clickPicksAndCloses_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("index");
    for (int i = 1; i <= 15; ++i)
        QTest::addRow("swatch %d", i) << i << QString::number(i);
    QTest::newRow("rainbow") << 16 << RoomFormatting::RainbowIndex;
}

void TestColourPicker::clickPicksAndCloses()
{
    QFETCH(int, number);
    QFETCH(QString, index);
    QSignalSpy picked(m_picker.get(), &ColourPicker::colourPicked);
    QTest::mouseClick(swatch(number), Qt::LeftButton);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.first().first().toString(), index);
    QVERIFY(!m_picker->isVisible());
    // Whatever the picker offers, the room formatting takes.
    RoomFormatting formatting;
    QVERIFY(formatting.setColourIndex(index));
}

void TestColourPicker::escapeClosesWithoutAPick()
{
    QSignalSpy picked(m_picker.get(), &ColourPicker::colourPicked);
    QTest::keyClick(m_picker.get(), Qt::Key_Escape);
    QVERIFY(!m_picker->isVisible());
    QCOMPARE(picked.count(), 0);

    // The same window opens again and still picks.
    m_picker->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_picker.get()));
    QTest::mouseClick(swatch(4), Qt::LeftButton);
    QCOMPARE(picked.count(), 1);
}

void TestColourPicker::onlyACompleteClickPicks()
{
    QSignalSpy picked(m_picker.get(), &ColourPicker::colourPicked);
    // Pressed on a swatch and released away from it.
    QTest::mousePress(swatch(5), Qt::LeftButton);
    QTest::mouseRelease(swatch(5), Qt::LeftButton, {}, QPoint(-20, -20));
    // The right button, and the decoration labels.
    QTest::mouseClick(swatch(6), Qt::RightButton);
    for (QLabel *label : m_picker->findChildren<QLabel *>()) {
        if (label->text() == u"Multi" || label->text() == u"Effect")
            QTest::mouseClick(label, Qt::LeftButton);
    }
    QCOMPARE(picked.count(), 0);
    QVERIFY(m_picker->isVisible());
}

void TestColourPicker::swatchEightIsNotItsPreview()
{
    const QColor swatchFill = centrePixel(swatch(8));
    QCOMPARE(swatchFill, QColor(255, 255, 0));
    QCOMPARE(previewColour(u"8"_qs), QColor(255, 190, 0));
    QCOMPARE(QColor(PaletteColour(8)), QColor(255, 190, 23));
}

void TestColourPicker::previewMatchesTheChatPaletteButForEight()
{
    for (int i = 1; i <= 15; ++i) {
        if (i != 8)
            QCOMPARE(previewColour(QString::number(i)), QColor(PaletteColour(qint16(i))));
    }
}

QTEST_MAIN(TestColourPicker)
#include "tst_colourpicker.moc"
