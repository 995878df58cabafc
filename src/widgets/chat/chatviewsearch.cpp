// ChatView's search highlights: the matches of a search on the lines shown, and the room a find
// bar takes below them. Finding the matches is ChatSearch's; the view only draws them.
#include "chatview.h"

namespace {
constexpr int kOtherMatchAlpha = 90; // of the selection colour, so the current match stands out
} // namespace

void ChatView::setSearchMatches(const ChatSearch &search, const ChatMatch &current)
{
    m_search = search;
    m_searchCurrent = search.isEmpty() || current.line >= lineCount() ? ChatMatch() : current;
    if (m_searchCurrent.isValid())
        scrollToLine(m_searchCurrent.line);
    viewport()->update();
}

void ChatView::reserveBottom(int pixels)
{
    setViewportMargins(0, 0, 0, pixels);
}

QList<QTextLayout::FormatRange> ChatView::searchFormats(int line, QStringView text) const
{
    QList<QTextLayout::FormatRange> formats;
    if (m_search.isEmpty())
        return formats;
    QTextCharFormat other;
    QColor tint = palette().color(QPalette::Highlight);
    tint.setAlpha(kOtherMatchAlpha);
    other.setBackground(tint);
    QTextCharFormat current;
    current.setBackground(palette().highlight());
    current.setForeground(palette().highlightedText());
    for (const int start : m_search.matchesIn(text)) {
        const bool isCurrent = line == m_searchCurrent.line && start == m_searchCurrent.start;
        formats.append({start, int(m_search.text().size()), isCurrent ? current : other});
    }
    return formats;
}
