#include "xpbutton.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace {

// One horizontal run of pixels from x1 to x2 inclusive.
void hline(QPainter &p, int y, int x1, int x2, const QColor &c)
{
    if (x2 >= x1)
        p.fillRect(QRect(x1, y, x2 - x1 + 1, 1), c);
}

void pixel(QPainter &p, int x, int y, const QColor &c)
{
    p.fillRect(QRect(x, y, 1, 1), c);
}

// A colour that darkens by a fixed step per row until its blue part drops below a floor.
struct Gradient
{
    int r, g, b;
    int dr, dg, db;
    int floor;
    QColor colour() const { return QColor(r, g, b); }
    void step()
    {
        if (b >= floor) {
            r -= dr;
            g -= dg;
            b -= db;
        }
    }
};

// The two frame pixels beside each corner: along the top or bottom edge, and along the side.
void softenCorners(QPainter &p, int w, int h, const QColor &along, const QColor &side)
{
    const int xs[] = {1, w - 2};
    const int ys[] = {0, h - 1};
    for (int x : xs) {
        for (int y : ys)
            pixel(p, x, y, along);
    }
    const int sx[] = {0, w - 1};
    const int sy[] = {1, h - 2};
    for (int x : sx) {
        for (int y : sy)
            pixel(p, x, y, side);
    }
}

void normalFace(QPainter &p, int w, int h)
{
    const int right = w - 1;
    Gradient g{255, 255, 253, 1, 1, 1, 230};
    for (int y = 3; y <= h - 3; ++y) {
        hline(p, y, 0, right, g.colour());
        g.step();
    }
    hline(p, h - 2, 0, right, QColor(214, 208, 197));
    hline(p, h - 3, 0, right, QColor(226, 223, 214));
    hline(p, h - 4, 0, right, QColor(236, 235, 230));
}

void pressedFace(QPainter &p, int w, int h)
{
    const int right = w - 1;
    Gradient g{226, 225, 218, 1, 1, 1, 218};
    for (int y = 3; y <= h - 2; y += 4) {
        p.fillRect(QRect(0, y, w, qMin(4, h - 1 - y)), g.colour());
        g.step();
    }
    hline(p, 1, 0, right, QColor(209, 204, 192));
    hline(p, 2, 0, right, QColor(220, 216, 207));
    hline(p, h - 3, 0, right, QColor(234, 233, 227));
    hline(p, h - 2, 0, right, QColor(242, 241, 238));
}

void focusEdge(QPainter &p, int w, int h)
{
    hline(p, 1, 1, w - 2, QColor(206, 231, 251));
    hline(p, 2, 1, w - 2, QColor(188, 212, 246));
    Gradient g{186, 211, 246, 4, 3, 1, 228};
    QColor last = g.colour();
    for (int y = 3; y <= h - 4; ++y) {
        last = g.colour();
        hline(p, y, 1, 2, last);
        hline(p, y, w - 3, w - 2, last);
        g.step();
    }
    hline(p, h - 3, 1, w - 2, last);
    hline(p, h - 2, 1, w - 2, QColor(97, 125, 229));
    const QColor corner(77, 125, 193);
    pixel(p, 1, 1, corner);
    pixel(p, w - 2, 1, corner);
    pixel(p, 1, h - 2, corner);
    pixel(p, w - 2, h - 2, corner);
}

void hotEdge(QPainter &p, int w, int h)
{
    hline(p, 1, 1, w - 2, QColor(255, 240, 207));
    hline(p, 2, 1, w - 2, QColor(253, 216, 137));
    Gradient outer{254, 223, 154, 1, 3, 7, 49};
    Gradient inner{252, 210, 121, 1, 4, 8, 57};
    for (int y = 3; y <= h - 3; ++y) {
        pixel(p, 1, y, outer.colour());
        pixel(p, w - 2, y, outer.colour());
        pixel(p, 2, y, inner.colour());
        pixel(p, w - 3, y, inner.colour());
        outer.step();
        inner.step();
    }
    hline(p, h - 2, 1, w - 2, QColor(229, 151, 0));
}

void disabledFace(QPainter &p, int w, int h)
{
    p.fillRect(QRect(0, 0, w, h), QColor(245, 244, 234));
    p.setPen(QColor(201, 199, 186));
    p.drawRect(0, 0, w - 1, h - 1);
    softenCorners(p, w, h, QColor(216, 213, 199), QColor(234, 233, 222));
}

void frame(QPainter &p, int w, int h)
{
    p.setPen(QColor(0, 60, 116));
    p.drawRect(0, 0, w - 1, h - 1);
    softenCorners(p, w, h, QColor(122, 149, 168), QColor(37, 87, 131));
}

// The client rectangle without its four corner pixels.
QRegion cornerRegion(int w, int h)
{
    QRegion r(0, 0, w, h);
    for (const QPoint &c : {QPoint(0, 0), QPoint(0, h - 1), QPoint(w - 1, 0), QPoint(w - 1, h - 1)})
        r -= QRegion(c.x(), c.y(), 1, 1);
    return r;
}

constexpr int DrawFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;

} // namespace

XPButton::XPButton(QWidget *parent) : XPButton(QString(), parent) {}

XPButton::XPButton(const QString &caption, QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // The faces are light under every theme, so the caption is black, not the theme's text.
    m_foreColor = QColor(Qt::black);
    m_foreHover = m_foreColor;
    setCaption(caption);
}

QChar XPButton::accessKeyOf(const QString &caption)
{
    if (caption.size() < 2)
        return {};
    // A doubled ampersand is a literal one; the first single ampersand marks the key, the same
    // character the caption shows underlined.
    qsizetype i = caption.indexOf(u'&');
    while (i >= 0 && i + 1 < caption.size()) {
        if (caption.at(i + 1) != u'&')
            return caption.at(i + 1).toLower();
        i = caption.indexOf(u'&', i + 2);
    }
    return {};
}

void XPButton::setCaption(const QString &caption)
{
    setText(caption);
    m_accessKey = accessKeyOf(caption);
    update();
}

void XPButton::setFONT(const QFont &font)
{
    setFont(font);
    update();
}

void XPButton::setForeColor(const QColor &colour)
{
    m_foreColor = colour;
    update();
}

void XPButton::setForeHover(const QColor &colour)
{
    m_foreHover = colour;
}

QSize XPButton::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, caption());
    return QSize(qMax(75, text.width() + 16), qMax(23, text.height() + 8));
}

bool XPButton::hitButton(const QPoint &pos) const
{
    return cornerRegion(width(), height()).contains(pos);
}

void XPButton::showPressed(bool pressed, bool byMouse)
{
    m_pressedLook = pressed;
    m_pressedByMouse = pressed && byMouse;
    update();
}

void XPButton::runClick()
{
    showPressed(false);
    emit clicked();
}

void XPButton::setHot(bool hot)
{
    if (m_hot == hot)
        return;
    m_hot = hot;
    update();
    if (hot)
        emit MouseOver();
    else
        emit MouseOut();
}

bool XPButton::event(QEvent *e)
{
    if (e->type() == QEvent::Shortcut) {
        if (!isEnabled())
            return true;
        m_pressedButton = Qt::LeftButton;
        runClick();
        return true;
    }
    return QAbstractButton::event(e);
}

void XPButton::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return;
    QPainter p(this);
    p.fillRect(rect(), palette().color(backgroundRole()));
    if (!isEnabled()) {
        disabledFace(p, w, h);
    } else if (m_pressedLook && m_pressedButton == Qt::LeftButton) {
        pressedFace(p, w, h);
        frame(p, w, h);
    } else {
        normalFace(p, w, h);
        if (m_hot)
            hotEdge(p, w, h);
        else if (m_focused)
            focusEdge(p, w, h);
        frame(p, w, h);
    }

    QColor colour = m_foreColor;
    if (!isEnabled())
        colour = QColor(161, 161, 146);
    else if (m_hot || m_pressedByMouse)
        colour = m_foreHover;
    p.setPen(colour);
    p.setFont(font());
    const int textHeight =
        p.fontMetrics().boundingRect(QRect(0, 0, w, h), DrawFlags, text()).height();
    const int top = qRound((h - textHeight) / 2.0);
    p.drawText(QRect(0, top, w, textHeight), DrawFlags, text());
}

void XPButton::resizeEvent(QResizeEvent *e)
{
    QAbstractButton::resizeEvent(e);
    if (width() > 0 && height() > 0)
        setMask(cornerRegion(width(), height()));
    update();
}

void XPButton::mousePressEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit MouseDown(e->button(), e->modifiers(), pos.x(), pos.y());
    m_pressedButton = e->button();
    m_secondPressOfDoubleClick = false;
    showPressed(true, true);
    e->accept();
}

void XPButton::mouseDoubleClickEvent(QMouseEvent *e)
{
    // Qt delivers the second press of a double-click as this event alone; with the left button
    // it holds the button down like any press. Other buttons never press it.
    if (e->button() == Qt::LeftButton && m_pressedButton == Qt::LeftButton) {
        mousePressEvent(e);
        m_secondPressOfDoubleClick = true;
    }
    e->accept();
}

void XPButton::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit MouseMove(e->buttons(), e->modifiers(), pos.x(), pos.y());
    if (e->buttons() == Qt::LeftButton && m_pressedButton == Qt::LeftButton) {
        const bool inside = hitButton(pos);
        if (inside != m_pressedLook)
            showPressed(inside, true);
    } else if (e->buttons() == Qt::NoButton && hitButton(pos)) {
        setHot(true);
    }
    e->accept();
}

void XPButton::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit MouseUp(e->button(), e->modifiers(), pos.x(), pos.y());
    showPressed(false);
    // A release away from the button cancels the press.
    const bool clicks = e->button() == Qt::LeftButton && m_pressedButton == Qt::LeftButton &&
                        hitButton(pos) && !m_secondPressOfDoubleClick;
    m_secondPressOfDoubleClick = false;
    if (clicks)
        runClick();
    if (!hitButton(pos))
        setHot(false);
    e->accept();
}

void XPButton::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    if (!e->isAutoRepeat())
        m_lastKey = key;
    bool handled = true;
    switch (key) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_pressedButton = Qt::LeftButton;
        showPressed(true);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        focusNextChild();
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        focusPreviousChild();
        break;
    default:
        // Left for the window, so that Esc still closes a dialog.
        handled = false;
    }
    emit KeyDown(key, e->modifiers());
    if (!e->text().isEmpty())
        emit KeyPress(e->text());
    e->setAccepted(handled);
}

void XPButton::keyReleaseEvent(QKeyEvent *e)
{
    if (e->isAutoRepeat()) {
        e->accept();
        return;
    }
    const int key = e->key();
    const auto isEnter = [](int k) { return k == Qt::Key_Return || k == Qt::Key_Enter; };
    const bool space = key == Qt::Key_Space && m_lastKey == Qt::Key_Space;
    const bool enter = isEnter(key) && isEnter(m_lastKey);
    if (space || enter) {
        m_pressedButton = Qt::LeftButton;
        runClick();
    } else if (key == Qt::Key_Space || isEnter(key)) {
        showPressed(false);
    }
    emit KeyUp(key, e->modifiers());
    e->accept();
}

void XPButton::focusInEvent(QFocusEvent *e)
{
    QAbstractButton::focusInEvent(e);
    m_focused = true;
    if (isEnabled())
        m_pressedButton = Qt::LeftButton;
    update();
}

void XPButton::focusOutEvent(QFocusEvent *e)
{
    QAbstractButton::focusOutEvent(e);
    m_focused = false;
    showPressed(false);
}

void XPButton::enterEvent(QEnterEvent *e)
{
    QAbstractButton::enterEvent(e);
    if (e->buttons() == Qt::NoButton)
        setHot(true);
}

void XPButton::leaveEvent(QEvent *e)
{
    QAbstractButton::leaveEvent(e);
    setHot(false);
    if (m_pressedLook && m_pressedByMouse)
        showPressed(false);
}
