// ChatView's unread marker: the view follows the activation of its window, remembers the first
// line that came while the window was inactive, and on the window's return draws a thin line
// above it. The marker stays until the window is left again, when a new count begins.
#include "chatview.h"

#include <QEvent>
#include <QPainter>

namespace {
constexpr int kMarkerThickness = 2;
} // namespace

void ChatView::watchWindow()
{
    QWidget *current = window();
    if (current == m_watchedWindow || current == this)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = current;
    current->installEventFilter(this);
}

bool ChatView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow &&
        (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate))
        windowActivationChanged(event->type() == QEvent::WindowActivate);
    return QAbstractScrollArea::eventFilter(watched, event);
}

void ChatView::windowActivationChanged(bool active)
{
    if (active) {
        if (m_unreadFrom >= 0 && m_unreadFrom < lineCount())
            m_unreadMarker = m_unreadFrom;
        m_unreadFrom = -1;
    } else {
        m_unreadMarker = -1;
        m_unreadFrom = lineCount();
    }
    viewport()->update();
}

void ChatView::drawUnreadMarker(QPainter &painter, const std::vector<PlacedLine> &placed) const
{
    if (m_unreadMarker < 0)
        return;
    for (const PlacedLine &line : placed) {
        if (line.index != m_unreadMarker)
            continue;
        // A red that reads on the view's white and, should a theme darken it, on dark too.
        const bool darkBase = palette().color(QPalette::Base).lightness() < 128;
        const QColor colour = darkBase ? QColor(255, 110, 110) : QColor(204, 0, 0);
        painter.fillRect(0, line.top, viewport()->width(), kMarkerThickness, colour);
        return;
    }
}
