#include "controls/sablecoolbutton.h"

#include <QEnterEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <tuple>
#include <utility>

namespace {

enum class State
{
    Normal,
    Hovered,
    Pressed
};
enum Shade
{
    Darker = -1,
    Same = 0,
    Lighter = 1
};

const QColor kIconColour(0, 160, 0);
const QColor kHoverIconColour(200, 0, 200);

QPixmap solidPixmap(const QColor &colour, int size = 16)
{
    QPixmap pixmap(size, size);
    pixmap.fill(colour);
    return pixmap;
}

void hover(QWidget *widget)
{
    const QPointF inside = QRectF(widget->rect()).center();
    QEnterEvent enter(inside, inside, widget->mapToGlobal(inside));
    QCoreApplication::sendEvent(widget, &enter);
}

void unhover(QWidget *widget)
{
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}

int shadeOf(const QColor &pixel, const QColor &background)
{
    if (pixel == background)
        return Same;
    return pixel.lightness() > background.lightness() ? Lighter : Darker;
}

// The bounding box and the number of the pixels whose colour passes the test.
template<typename Test> std::pair<QRect, int> pixelsWhere(const QImage &image, Test test)
{
    std::pair<QRect, int> found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test(image.pixelColor(x, y)))
                found = {found.first | QRect(x, y, 1, 1), found.second + 1};
        }
    }
    return found;
}

QRect boxOf(const QImage &image, const QColor &colour)
{
    return pixelsWhere(image, [&](const QColor &c) { return c == colour; }).first;
}

int countOf(const QImage &image, const QColor &colour)
{
    return pixelsWhere(image, [&](const QColor &c) { return c == colour; }).second;
}

// Bounding box of every pixel that is neither the background nor one of the icon colours.
QRect inkBox(const QImage &image, const QColor &background)
{
    const auto ink = [&](const QColor &c) {
        return c != background && c != kIconColour && c != kHoverIconColour;
    };
    return pixelsWhere(image, ink).first;
}

} // namespace

class TestSableCoolButton : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void defaults();
    void edges_data();
    void edges();
    void focusRectangle();
    void disabledCaptionUsesTheShadowColour();
    void layout_data();
    void layout();
    void pressedContentShiftsOnePixel_data();
    void pressedContentShiftsOnePixel();
    void hoverIcon_data();
    void hoverIcon();
    void mouseClicks();
    void pressMoveOutReleaseDoesNotClick();
    void pointerEvents();
    void keys_data();
    void keys();

private:
    // A plain white surface with only the caption and icon on it.
    void makePlain()
    {
        m_button->setBorderEdged(false);
        m_button->setUseBorders(false);
        m_button->setShowFocus(false);
        m_button->setButtonBackColor(Qt::white);
        m_button->setButtonTextColor(Qt::blue);
    }
    QImage image() const { return m_button->grab().toImage(); }
    QSize captionSize() const
    {
        const QFontMetrics metrics(m_button->font());
        return QSize(metrics.horizontalAdvance(m_button->captionTitle()), metrics.height());
    }

    QWidget *m_window = nullptr;
    SableCoolButton *m_button = nullptr;
};

void TestSableCoolButton::init()
{
    m_window = new QWidget;
    m_window->resize(260, 120);
    m_button = new SableCoolButton(m_window);
    m_button->setGeometry(10, 10, 160, 48);
    QFont font = m_button->font();
    font.setPixelSize(14);
    m_button->setFont(font);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestSableCoolButton::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_button = nullptr;
}

void TestSableCoolButton::defaults()
{
    SableCoolButton button;
    QCOMPARE(button.captionTitle(), u"SableButton"_qs);
    QCOMPARE(button.text(), u"SableButton"_qs);
    QVERIFY(button.useBorders());
    QVERIFY(button.showFocus());
    QVERIFY(button.borderEdged());
    QCOMPARE(button.iconPosition(), int(SableCoolButton::IconBeforeCaption));
    QCOMPARE(button.buttonTextColor(), button.palette().color(QPalette::ButtonText));
    QCOMPARE(button.buttonBackColor(), button.palette().color(QPalette::Button));
    QVERIFY(button.buttonIcon().isNull());
    QVERIFY(button.buttonIconMouseMove().isNull());

    const QPixmap icon = solidPixmap(kIconColour);
    button.setButtonIcon(icon);
    button.setButtonBackColor(Qt::yellow);
    button.setIconPosition(7);
    QCOMPARE(button.buttonIcon().cacheKey(), icon.cacheKey());
    QCOMPARE(button.buttonBackColor(), QColor(Qt::yellow));
    QCOMPARE(button.property("iconPosition").toInt(), 7);
}

void TestSableCoolButton::edges_data()
{
    QTest::addColumn<State>("state");
    QTest::addColumn<bool>("useBorders");
    QTest::addColumn<bool>("borderEdged");
    QTest::addColumn<int>("row"); // distance of the checked rows from the top and bottom
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");

    QTest::newRow("normal: etched frame")
        << State::Normal << true << true << 0 << int(Darker) << int(Lighter);
    QTest::newRow("normal: etched inner")
        << State::Normal << true << true << 1 << int(Lighter) << int(Darker);
    QTest::newRow("normal: nothing inside")
        << State::Normal << true << true << 2 << int(Same) << int(Same);
    QTest::newRow("normal: no frame")
        << State::Normal << true << false << 0 << int(Same) << int(Same);
    QTest::newRow("hovered: raised inset")
        << State::Hovered << true << true << 2 << int(Lighter) << int(Darker);
    QTest::newRow("hovered: raised outside")
        << State::Hovered << true << false << 0 << int(Lighter) << int(Darker);
    QTest::newRow("hovered: no borders")
        << State::Hovered << false << true << 2 << int(Same) << int(Same);
    QTest::newRow("pressed: sunken outer")
        << State::Pressed << true << true << 0 << int(Darker) << int(Lighter);
    // The inner bottom and right take the palette's midlight, whichever side of the face it is.
    const QPalette pal = QApplication::palette();
    QTest::newRow("pressed: sunken inner")
        << State::Pressed << true << false << 1 << int(Darker)
        << shadeOf(pal.color(QPalette::Midlight), pal.color(QPalette::Button));
    QTest::newRow("pressed: no borders")
        << State::Pressed << false << false << 0 << int(Same) << int(Same);
}

void TestSableCoolButton::edges()
{
    QFETCH(State, state);
    QFETCH(bool, useBorders);
    QFETCH(bool, borderEdged);
    QFETCH(int, row);
    QFETCH(int, top);
    QFETCH(int, bottom);

    m_button->setUseBorders(useBorders);
    m_button->setBorderEdged(borderEdged);
    const QPoint centre = m_button->rect().center();
    if (state == State::Hovered)
        hover(m_button);
    if (state == State::Pressed)
        QTest::mousePress(m_button, Qt::LeftButton, {}, centre);

    const QImage shot = image();
    const QColor back = m_button->buttonBackColor();
    const int x = shot.width() / 2;
    QCOMPARE(shadeOf(shot.pixelColor(x, row), back), top);
    QCOMPARE(shadeOf(shot.pixelColor(x, shot.height() - 1 - row), back), bottom);
    // The left and right sides follow the top and bottom.
    const int y = shot.height() / 2;
    QCOMPARE(shadeOf(shot.pixelColor(row, y), back), top);
    QCOMPARE(shadeOf(shot.pixelColor(shot.width() - 1 - row, y), back), bottom);

    if (state == State::Pressed)
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, centre);
}

void TestSableCoolButton::focusRectangle()
{
    m_button->setBorderEdged(false);
    m_window->activateWindow();
    m_button->setFocus();
    QTRY_VERIFY(m_button->hasFocus());

    const QColor back = m_button->buttonBackColor();
    const auto checkDots = [&](const QImage &shot, bool expected) {
        const int right = shot.width() - 4;
        const int bottom = shot.height() - 4;
        for (int x = 3; x <= right; ++x) {
            const bool dot = expected && (x + 3) % 2 == 0;
            QCOMPARE(shot.pixelColor(x, 3) != back, dot);
        }
        for (int y = 4; y < bottom; ++y) {
            const bool dot = expected && (right + y) % 2 == 0;
            QCOMPARE(shot.pixelColor(right, y) != back, dot);
        }
        // Nothing outside the rectangle.
        QCOMPARE(shot.pixelColor(2, shot.height() / 2), back);
        QCOMPARE(shot.pixelColor(right + 1, shot.height() / 2), back);
    };

    checkDots(image(), true);
    if (QTest::currentTestFailed())
        return;
    m_button->setShowFocus(false);
    checkDots(image(), false);
    if (QTest::currentTestFailed())
        return;
    m_button->setShowFocus(true);
    m_button->clearFocus();
    QTRY_VERIFY(!m_button->hasFocus());
    checkDots(image(), false);
}

void TestSableCoolButton::disabledCaptionUsesTheShadowColour()
{
    makePlain();
    m_button->setButtonTextColor(Qt::red);
    QFont font = m_button->font();
    font.setPixelSize(24);
    font.setBold(true);
    m_button->setFont(font);
    m_button->setCaptionTitle(u"MMMM"_qs);

    QVERIFY(countOf(image(), Qt::red) > 0);
    m_button->setEnabled(false);
    const QImage shot = image();
    const QColor shadow = m_button->palette().color(QPalette::Dark);
    QVERIFY(shadow != QColor(Qt::white));
    QCOMPARE(countOf(shot, Qt::red), 0);
    QVERIFY(countOf(shot, shadow) > 0);
}

void TestSableCoolButton::layout_data()
{
    QTest::addColumn<int>("iconPosition");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("withIcon");

    QTest::newRow("above, no caption") << 0 << QString() << true;
    QTest::newRow("above, caption") << 0 << u"Send"_qs << true;
    QTest::newRow("above, no icon") << 0 << u"Send"_qs << false;
    QTest::newRow("before, caption") << 1 << u"Block This User"_qs << true;
    QTest::newRow("before, no icon") << 1 << u"Block This User"_qs << false;
    QTest::newRow("other value, icon") << 5 << u"Add"_qs << true;
    QTest::newRow("other value, no icon") << 5 << u"Add"_qs << false;
}

void TestSableCoolButton::layout()
{
    QFETCH(int, iconPosition);
    QFETCH(QString, caption);
    QFETCH(bool, withIcon);

    makePlain();
    m_button->setCaptionTitle(caption);
    if (withIcon)
        m_button->setButtonIcon(solidPixmap(kIconColour));
    // Values other than 0 and 1 keep the icon where the last layout put it.
    const QPoint lastPlace = boxOf(image(), kIconColour).topLeft();
    m_button->setIconPosition(iconPosition);

    const QImage shot = image();
    const int w = shot.width();
    const int h = shot.height();
    const QSize text = captionSize();
    const int icon = 16;

    QPoint iconAt;
    QPoint captionAt;
    if (iconPosition == 0) {
        const int lift = caption.isEmpty() ? 0 : 170 / 15;
        iconAt = QPoint((w - icon) / 2, (h - icon) / 2 - lift);
        captionAt = QPoint((w - text.width()) / 2,
                           withIcon ? (h + text.height()) / 2 : (h - text.height()) / 2);
    } else {
        iconAt =
            iconPosition == 1 ? QPoint((w - (text.width() + icon)) / 2, (h - icon) / 2) : lastPlace;
        captionAt = QPoint(withIcon ? iconAt.x() + icon + 5 : (w - text.width()) / 2,
                           (h - text.height()) / 2);
    }

    if (withIcon)
        QCOMPARE(boxOf(shot, kIconColour), QRect(iconAt, QSize(icon, icon)));
    else
        QCOMPARE(countOf(shot, kIconColour), 0);

    const QRect ink = inkBox(shot, Qt::white);
    if (caption.isEmpty()) {
        QVERIFY(ink.isNull());
        return;
    }
    QVERIFY(!ink.isNull());
    // The same caption painted on its own at the expected place leaves the same ink.
    QImage reference(shot.size(), shot.format());
    reference.fill(Qt::white);
    QPainter painter(&reference);
    painter.setFont(m_button->font());
    painter.setPen(Qt::blue);
    painter.drawText(QRect(captionAt, text), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     caption);
    painter.end();
    QCOMPARE(ink, inkBox(reference, Qt::white));
}

void TestSableCoolButton::pressedContentShiftsOnePixel_data()
{
    QTest::addColumn<bool>("useBorders");
    QTest::addColumn<int>("iconPosition");
    QTest::newRow("borders, before") << true << 1;
    QTest::newRow("no borders, before") << false << 1;
    QTest::newRow("no borders, other value") << false << 3;
}

void TestSableCoolButton::pressedContentShiftsOnePixel()
{
    QFETCH(bool, useBorders);
    QFETCH(int, iconPosition);

    makePlain();
    m_button->setIconPosition(iconPosition);
    m_button->setButtonIcon(solidPixmap(kIconColour));
    const QImage up = image();
    const QRect inner = up.rect().adjusted(3, 3, -3, -3);
    m_button->setUseBorders(useBorders);

    const QPoint centre = m_button->rect().center();
    for (int round = 0; round < 2; ++round) {
        QTest::mousePress(m_button, Qt::LeftButton, {}, centre);
        const QImage down = image();
        QCOMPARE(boxOf(down, kIconColour), boxOf(up, kIconColour).translated(1, 1));
        QCOMPARE(inkBox(down.copy(inner), Qt::white),
                 inkBox(up.copy(inner), Qt::white).translated(1, 1));
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, centre);
        // Releasing puts everything back where it was, however often it is pressed.
        QCOMPARE(image(), up);
    }
}

void TestSableCoolButton::hoverIcon_data()
{
    QTest::addColumn<bool>("withHoverIcon");
    QTest::newRow("hover icon") << true;
    QTest::newRow("no hover icon") << false;
}

void TestSableCoolButton::hoverIcon()
{
    QFETCH(bool, withHoverIcon);

    makePlain();
    m_button->setButtonIcon(solidPixmap(kIconColour));
    if (withHoverIcon)
        m_button->setButtonIconMouseMove(solidPixmap(kHoverIconColour));
    const QRect place = boxOf(image(), kIconColour);
    QVERIFY(!place.isNull());

    hover(m_button);
    QVERIFY(m_button->isHovered());
    QImage shot = image();
    QCOMPARE(boxOf(shot, withHoverIcon ? kHoverIconColour : kIconColour), place);
    QCOMPARE(countOf(shot, withHoverIcon ? kIconColour : kHoverIconColour), 0);

    unhover(m_button);
    QVERIFY(!m_button->isHovered());
    shot = image();
    QCOMPARE(boxOf(shot, kIconColour), place);
    QCOMPARE(countOf(shot, kHoverIconColour), 0);
}

void TestSableCoolButton::mouseClicks()
{
    QSignalSpy clicks(m_button, &QAbstractButton::clicked);
    const QPoint centre = m_button->rect().center();

    QTest::mouseClick(m_button, Qt::RightButton, {}, centre);
    QTest::mouseClick(m_button, Qt::MiddleButton, {}, centre);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(!m_button->isDown());

    QTest::mouseClick(m_button, Qt::LeftButton, {}, centre);
    QCOMPARE(clicks.count(), 1);
}

void TestSableCoolButton::pressMoveOutReleaseDoesNotClick()
{
    QSignalSpy clicks(m_button, &QAbstractButton::clicked);
    const QPoint centre = m_button->rect().center();
    const QPoint outside(m_button->width() + 20, centre.y());

    QTest::mousePress(m_button, Qt::LeftButton, {}, centre);
    QVERIFY(m_button->isDown());
    QMouseEvent move(QEvent::MouseMove, outside, m_button->mapToGlobal(outside), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(m_button, &move);
    QVERIFY(!m_button->isDown());
    unhover(m_button);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, outside);
    QCOMPARE(clicks.count(), 0);

    // No sunken edge is left behind.
    const QImage shot = image();
    QCOMPARE(shadeOf(shot.pixelColor(shot.width() / 2, 0), m_button->buttonBackColor()),
             int(Darker));
    QCOMPARE(shot.pixelColor(shot.width() / 2, 2), m_button->buttonBackColor());
}

// Through the window, as the platform delivers the pointer's moves, presses and releases.
void TestSableCoolButton::pointerEvents()
{
    QWindow *window = m_window->windowHandle();
    const QPoint origin = m_button->pos();
    const QPoint outside(m_window->width() - 5, m_window->height() - 5);
    QSignalSpy clicks(m_button, &QAbstractButton::clicked);
    QSignalSpy moves(m_button, &SableCoolButton::MouseMove);
    QSignalSpy downs(m_button, &SableCoolButton::MouseDown);
    QSignalSpy ups(m_button, &SableCoolButton::MouseUp);
    QSignalSpy leaves(m_button, &SableCoolButton::OnMouseLeave);
    using Event = std::tuple<int, int, int>; // button, x, y
    const auto events = [](const QSignalSpy &spy) {
        QList<Event> list;
        for (const QList<QVariant> &args : spy)
            list << Event(args.at(0).toInt(), args.at(2).toInt(), args.at(3).toInt());
        return list;
    };

    QTest::mouseMove(window, outside);
    QTest::mouseMove(window, origin + QPoint(20, 12));
    QTest::mouseMove(window, origin + QPoint(30, 14));
    QCOMPARE(events(moves), (QList<Event>{{Qt::NoButton, 20, 12}}));
    QCOMPARE(leaves.count(), 0);

    QTest::mouseClick(window, Qt::RightButton, {}, origin + QPoint(30, 14));
    QTest::mouseClick(window, Qt::LeftButton, Qt::ShiftModifier, origin + QPoint(40, 16));
    QCOMPARE(clicks.count(), 1);
    const QList<Event> pressed{{Qt::RightButton, 30, 14}, {Qt::LeftButton, 40, 16}};
    QCOMPARE(events(downs), pressed);
    QCOMPARE(events(ups), pressed);
    QCOMPARE(downs.at(1).at(1).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);

    // Released away from the button: neither a click nor MouseUp.
    QTest::mousePress(window, Qt::LeftButton, {}, origin + QPoint(40, 16));
    QTest::mouseMove(window, outside);
    QTest::mouseRelease(window, Qt::LeftButton, {}, outside);
    QTest::mouseMove(window, outside + QPoint(1, 1));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(downs.count(), 3);
    QCOMPARE(ups.count(), 2);
    QCOMPARE(leaves.count(), 1);
    QVERIFY(!m_button->isHovered());
    QCOMPARE(moves.count(), 1);
}

void TestSableCoolButton::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("space") << int(Qt::Key_Space) << 1;
    QTest::newRow("return") << int(Qt::Key_Return) << 0;
    QTest::newRow("enter") << int(Qt::Key_Enter) << 0;
}

void TestSableCoolButton::keys()
{
    QFETCH(int, key);
    QFETCH(int, expected);

    m_window->activateWindow();
    m_button->setFocus();
    QTRY_VERIFY(m_button->hasFocus());
    QSignalSpy clicks(m_button, &QAbstractButton::clicked);

    QTest::keyPress(m_button, Qt::Key(key));
    QCOMPARE(m_button->isDown(), expected == 1);
    QCOMPARE(clicks.count(), 0);
    QTest::keyRelease(m_button, Qt::Key(key));
    QCOMPARE(clicks.count(), expected);
    QVERIFY(!m_button->isDown());
}

QTEST_MAIN(TestSableCoolButton)
#include "tst_sablecoolbutton.moc"
