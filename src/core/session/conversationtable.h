#pragma once

#include "text/chatbuffer.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>

// The private conversations: which partner uses which of the 100 slots, and each slot's
// conversation view. A slot's view is made on first use and kept after the slot is freed, for
// the next conversation that claims it.
class ConversationTable
{
public:
    static constexpr int SlotCount = 100;

    explicit ConversationTable(const ChatBuffer &roomView) : m_roomView(roomView) {}

    // The partner of each slot; empty marks a free slot. One more entry than slots, never used.
    std::array<QString, SlotCount + 1> ConversationNicks;

    // Slot whose partner equals nick after trimming blanks (with case), or -1.
    int findSlot(const QString &nick) const;
    // Slot whose partner equals nick exactly, or -1.
    int findExactSlot(const QString &nick) const;
    int firstFreeSlot() const;

    struct SlotClaim
    {
        int slot = -1;
        bool claimedNow = false;
    };
    // The slot of the conversation with nick: the one it holds (as findSlot), else the first free
    // slot, claimed for it now. Slot -1 when every slot is held by someone else. Received
    // messages find their conversation this way.
    SlotClaim claimSlotFor(const QString &nick);
    // The first slot that is free or held by nick exactly, claimed for nick when free; slot -1
    // when every slot is held by someone else. The member list opens a conversation this way, so
    // a free slot before the one nick holds is taken and shows the conversation from then on.
    SlotClaim claimFirstSlotFor(const QString &nick);
    // Gives the slot to a partner; its view logs to that partner's log from now on.
    void claim(int slot, const QString &nick);
    // Where the conversation with a partner is logged (none when the factory gives nullptr).
    // The table keeps the log of each held slot.
    using LogFactory = std::function<std::unique_ptr<LineLog>(const QString &nick)>;
    void setLogFactory(LogFactory factory) { m_logFactory = std::move(factory); }
    // A log of the conversation with nick, for a line shown in another partner's window (every
    // slot held); nullptr without logs.
    std::unique_ptr<LineLog> logFor(const QString &nick) const;
    // Frees the first slot whose partner equals caption exactly.
    void clearform(const QString &caption);
    // The conversation view of a slot, made on first use.
    ChatBuffer &view(int slot);
    bool hasView(int slot) const { return m_views[size_t(slot)] != nullptr; }
    QString caption(int slot) const { return m_captions[size_t(slot)]; }
    void setCaption(int slot, const QString &caption) { m_captions[size_t(slot)] = caption; }

private:
    SlotClaim claimFreeSlot(const QString &nick);

    const ChatBuffer &m_roomView;
    LogFactory m_logFactory;
    std::array<std::unique_ptr<ChatBuffer>, SlotCount + 1> m_views;
    std::array<std::unique_ptr<LineLog>, SlotCount + 1> m_logs;
    std::array<QString, SlotCount + 1> m_captions;
};
