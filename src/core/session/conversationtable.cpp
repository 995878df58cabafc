#include "conversationtable.h"

#include "text/blanks.h"

int ConversationTable::findSlot(const QString &nick) const
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (trimmedBlanks(ConversationNicks[size_t(slot)]) == nick)
            return slot;
    }
    return -1;
}

int ConversationTable::findExactSlot(const QString &nick) const
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (ConversationNicks[size_t(slot)] == nick)
            return slot;
    }
    return -1;
}

int ConversationTable::firstFreeSlot() const
{
    return findExactSlot(QString());
}

ConversationTable::SlotClaim ConversationTable::claimSlotFor(const QString &nick)
{
    if (const int held = findSlot(nick); held >= 0)
        return {held, false};
    return claimFreeSlot(nick);
}

ConversationTable::SlotClaim ConversationTable::claimFirstSlotFor(const QString &nick)
{
    const int held = findExactSlot(nick);
    const int free = firstFreeSlot();
    if (held >= 0 && (free < 0 || held < free))
        return {held, false};
    return claimFreeSlot(nick);
}

ConversationTable::SlotClaim ConversationTable::claimFreeSlot(const QString &nick)
{
    const int free = firstFreeSlot();
    if (free < 0)
        return {};
    claim(free, nick);
    return {free, true};
}

void ConversationTable::claim(int slot, const QString &nick)
{
    ConversationNicks[size_t(slot)] = nick;
    if (!m_logFactory)
        return;
    auto &log = m_logs[size_t(slot)];
    view(slot).setLog(nullptr);
    log = m_logFactory(nick);
    view(slot).setLog(log.get());
}

std::unique_ptr<LineLog> ConversationTable::logFor(const QString &nick) const
{
    return m_logFactory ? m_logFactory(nick) : nullptr;
}

void ConversationTable::clearform(const QString &caption)
{
    const int slot = findExactSlot(caption);
    if (slot >= 0 && !caption.isEmpty())
        ConversationNicks[size_t(slot)].clear();
}

ChatBuffer &ConversationTable::view(int slot)
{
    auto &view = m_views[size_t(slot)];
    if (!view) {
        view = std::make_unique<ChatBuffer>();
        view->setSizeSource(&m_roomView);
    }
    return *view;
}
