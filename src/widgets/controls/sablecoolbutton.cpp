#include "sablecoolbutton.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>

namespace {

// The icon above the caption is lifted by 170 twips, at a fixed 15 twips per pixel.
constexpr int kIconLift = 170 / 15;
// Gap between the icon and a caption placed to its right.
constexpr int kCaptionGap = 5;
// Inset of the raised edge inside the etched frame.
constexpr int kEtchedInset = 2;
// The focus rectangle keeps this distance from every side.
constexpr int kFocusInset = 3;

// One-pixel frame: top and left in one colour, bottom and right in the other.
void drawFrame(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    painter.setPen(topLeft);
    painter.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    painter.setPen(bottomRight);
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

} // namespace

SableCoolButton::SableCoolButton(QWidget *parent) : QAbstractButton(parent)
{
    setText(u"SableButton"_qs);
    setFocusPolicy(Qt::StrongFocus);
}

SableCoolButton::SableCoolButton(const QString &caption, QWidget *parent) : SableCoolButton(parent)
{
    setText(caption);
}

void SableCoolButton::setCaptionTitle(const QString &caption)
{
    setText(caption);
    update();
}

void SableCoolButton::setButtonIcon(const QPixmap &icon)
{
    m_icon = icon;
    update();
}

void SableCoolButton::setButtonIconMouseMove(const QPixmap &icon)
{
    m_hoverIcon = icon;
    update();
}

void SableCoolButton::setMouseIcon(const QPixmap &pointer)
{
    m_mouseIcon = pointer;
    if (pointer.isNull())
        unsetCursor();
    else
        setCursor(QCursor(pointer));
    update();
}

void SableCoolButton::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

QColor SableCoolButton::buttonBackColor() const
{
    return m_backColour.isValid() ? m_backColour : palette().color(QPalette::Button);
}

QColor SableCoolButton::buttonTextColor() const
{
    return m_textColour.isValid() ? m_textColour : palette().color(QPalette::ButtonText);
}

void SableCoolButton::setButtonBackColor(const QColor &colour)
{
    m_backColour = colour;
    update();
}

void SableCoolButton::setButtonTextColor(const QColor &colour)
{
    m_textColour = colour;
    update();
}

void SableCoolButton::setUseBorders(bool on)
{
    m_useBorders = on;
    update();
}

void SableCoolButton::setIconPosition(int position)
{
    m_iconPosition = position;
    update();
}

void SableCoolButton::setShowFocus(bool on)
{
    m_showFocus = on;
    update();
}

void SableCoolButton::setBorderEdged(bool on)
{
    m_borderEdged = on;
    update();
}

QSize SableCoolButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const QSize icon = m_icon.isNull() ? QSize() : m_icon.deviceIndependentSize().toSize();
    const int width = metrics.horizontalAdvance(text()) + icon.width() + kCaptionGap + 16;
    const int height = qMax(metrics.height(), icon.height()) + 2 * (kFocusInset + 2);
    return QSize(width, height);
}

void SableCoolButton::enterEvent(QEnterEvent *event)
{
    const bool entering = !m_hovered;
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
    if (entering) {
        const QPoint pos = event->position().toPoint();
        emit MouseMove(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers(),
                       pos.x(), pos.y());
    }
}

void SableCoolButton::leaveEvent(QEvent *event)
{
    const bool leaving = m_hovered;
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
    if (leaving)
        emit OnMouseLeave();
}

void SableCoolButton::mousePressEvent(QMouseEvent *event)
{
    QAbstractButton::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
}

void SableCoolButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const bool inside = rect().contains(pos);
    // A click may close the window that holds the button.
    const QPointer<SableCoolButton> self(this);
    QAbstractButton::mouseReleaseEvent(event);
    if (self && inside)
        emit MouseUp(event->button(), event->modifiers(), pos.x(), pos.y());
}

QPixmap SableCoolButton::shownIcon() const
{
    return m_hovered && !m_hoverIcon.isNull() ? m_hoverIcon : m_icon;
}

void SableCoolButton::placeIcon(const QSize &icon, int captionWidth)
{
    if (m_iconPosition == IconAboveCaption) {
        const int top = (height() - icon.height()) / 2;
        m_iconPos = QPoint((width() - icon.width()) / 2, text().isEmpty() ? top : top - kIconLift);
    } else if (m_iconPosition == IconBeforeCaption) {
        m_iconPos =
            QPoint((width() - (captionWidth + icon.width())) / 2, (height() - icon.height()) / 2);
    }
}

QPoint SableCoolButton::captionPosition(const QSize &caption, bool withIcon) const
{
    if (m_iconPosition == IconAboveCaption) {
        const int y =
            withIcon ? (height() + caption.height()) / 2 : (height() - caption.height()) / 2;
        return QPoint((width() - caption.width()) / 2, y);
    }
    const int x = withIcon ? m_iconPos.x() + shownIcon().deviceIndependentSize().toSize().width() +
                                 kCaptionGap
                           : (width() - caption.width()) / 2;
    return QPoint(x, (height() - caption.height()) / 2);
}

void SableCoolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), buttonBackColor());
    if (!m_picture.isNull())
        painter.drawPixmap(0, 0, m_picture);

    // While held down the icon and caption move one pixel right and down.
    const QPoint offset = isDown() ? QPoint(1, 1) : QPoint();
    const QFontMetrics metrics(font());
    const QSize caption(metrics.horizontalAdvance(text()), metrics.height());
    const QPixmap icon = shownIcon();
    const bool withIcon = !icon.isNull() && !m_icon.isNull();

    placeIcon(icon.deviceIndependentSize().toSize(), caption.width());
    if (!icon.isNull())
        painter.drawPixmap(m_iconPos + offset, icon);

    const QColor textColour = isEnabled() ? buttonTextColor() : palette().color(QPalette::Dark);
    painter.setPen(textColour);
    painter.drawText(QRect(captionPosition(caption, withIcon) + offset, caption),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());

    if (hasFocus() && m_showFocus)
        drawFocusFrame(painter);
    if (m_borderEdged) {
        const QPalette &pal = palette();
        drawFrame(painter, rect(), pal.color(QPalette::Dark), pal.color(QPalette::Light));
        drawFrame(painter, rect().adjusted(1, 1, -1, -1), pal.color(QPalette::Light),
                  pal.color(QPalette::Dark));
    }
    if (isDown())
        drawDown(painter);
    else if (m_hovered && isEnabled())
        drawUp(painter);
}

// Dotted rectangle: every other pixel, starting at the top-left corner.
void SableCoolButton::drawFocusFrame(QPainter &painter) const
{
    const QRect r = rect().adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
    if (r.isEmpty())
        return;
    painter.setPen(palette().color(QPalette::ButtonText));
    for (int x = r.left(); x <= r.right(); ++x) {
        for (int y : {r.top(), r.bottom()}) {
            if ((x + y) % 2 == 0)
                painter.drawPoint(x, y);
        }
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        for (int x : {r.left(), r.right()}) {
            if ((x + y) % 2 == 0)
                painter.drawPoint(x, y);
        }
    }
}

void SableCoolButton::drawUp(QPainter &painter) const
{
    if (!m_useBorders)
        return;
    const int inset = m_borderEdged ? kEtchedInset : 0;
    drawFrame(painter, rect().adjusted(inset, inset, -inset, -inset),
              palette().color(QPalette::Light), palette().color(QPalette::Shadow));
}

void SableCoolButton::drawDown(QPainter &painter) const
{
    if (!m_useBorders)
        return;
    const QPalette &pal = palette();
    drawFrame(painter, rect(), pal.color(QPalette::Dark), pal.color(QPalette::Light));
    drawFrame(painter, rect().adjusted(1, 1, -1, -1), pal.color(QPalette::Shadow),
              pal.color(QPalette::Midlight));
}
