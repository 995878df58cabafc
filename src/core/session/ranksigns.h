#pragma once

#include <QStringView>

// The rank signs that open a member-list entry, shared by every command that turns an entry
// back into a nick and by the names reply that tells the user's own rank. Only one sign is ever
// dropped: servers list the highest rank alone.
namespace ranksigns {

// Owner, admin, operator, half-operator and voice.
inline constexpr QStringView All = u"~&@%+";
// The ranks that may moderate the room: all but voice.
inline constexpr QStringView Moderator = u"~&@%";

// The entry without one leading sign out of signs.
inline QStringView withoutSign(QStringView entry, QStringView signs = All)
{
    return !entry.isEmpty() && signs.contains(entry.front()) ? entry.sliced(1) : entry;
}

} // namespace ranksigns
