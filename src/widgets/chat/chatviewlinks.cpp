// ChatView's addresses: finding the one under the mouse, the hand cursor and tool tip over it,
// and opening it on a click. The addresses themselves are found when a line is stored (see
// ChatBuffer::lineLinks) and drawn by ChatLineLayout.
#include "chatview.h"

#include "text/chatbuffer.h"
#include "text/linkdetector.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

QString ChatView::linkAt(QPoint point) const
{
    if (!m_buffer)
        return QString();
    const std::optional<TextPos> pos = positionAt(point, QTextLine::CursorOnCharacter);
    if (!pos)
        return QString();
    for (const ChatBuffer::Link &link : m_buffer->lineLinks(pos->line)) {
        if (pos->offset < link.start || pos->offset >= link.start + link.length)
            continue;
        // Beside or below the text, the nearest character is not under the mouse.
        if (!characterRect(offsetOf(*pos)).contains(point))
            return QString();
        return m_buffer->lineText(pos->line).mid(link.start, link.length);
    }
    return QString();
}

void ChatView::showLinkHover(QPoint point)
{
    const bool overLink = !linkAt(point).isEmpty();
    if (overLink == m_overLink)
        return;
    m_overLink = overLink;
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void ChatView::pressLink(QPoint point)
{
    m_pressedLink = linkAt(point);
    m_pressPoint = point;
}

void ChatView::dragFromLink(QPoint point)
{
    if (!m_pressedLink.isEmpty() &&
        (point - m_pressPoint).manhattanLength() >= QApplication::startDragDistance())
        m_pressedLink.clear(); // a drag selects text, as anywhere else
}

bool ChatView::releaseLink(QPoint point)
{
    const QString pressed = std::exchange(m_pressedLink, QString());
    if (pressed.isEmpty() || linkAt(point) != pressed)
        return false;
    clearSelection();
    emit linkActivated(pressed);
    return true;
}

bool ChatView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString link = linkAt(help->pos());
    if (link.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), linkAddress(link), viewport());
    return true;
}
