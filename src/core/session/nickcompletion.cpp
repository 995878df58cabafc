#include "nickcompletion.h"

#include "ranksigns.h"

#include <algorithm>

void NickCompletion::noteSpeaker(const QString &nick)
{
    const auto same = [&nick](const QString &known) {
        return known.compare(nick, Qt::CaseInsensitive) == 0;
    };
    m_recent.erase(std::remove_if(m_recent.begin(), m_recent.end(), same), m_recent.end());
    m_recent.push_front(nick);
    if (m_recent.size() > RememberedSpeakers)
        m_recent.pop_back();
}

QStringList NickCompletion::candidates(QStringView typed, const QStringList &memberEntries) const
{
    QStringList matching;
    for (const QString &entry : memberEntries) {
        const QStringView nick = ranksigns::withoutSign(entry);
        if (!nick.isEmpty() && nick.startsWith(typed, Qt::CaseInsensitive))
            matching << nick.toString();
    }
    QStringList ordered;
    for (const QString &speaker : m_recent) {
        const auto found = std::find_if(matching.begin(), matching.end(), [&](const QString &nick) {
            return nick.compare(speaker, Qt::CaseInsensitive) == 0;
        });
        if (found != matching.end()) {
            ordered << *found;
            matching.erase(found);
        }
    }
    return ordered + matching;
}
