#include "nickcompletion.h"

#include "ranksigns.h"

#include <algorithm>

void NickCompletion::noteSpeaker(const QString &nick)
{
    // Called for every room line: a nick is listed once, so the first match is the only one,
    // and one of another length cannot match.
    const auto known = std::find_if(m_recent.begin(), m_recent.end(), [&nick](const QString &k) {
        return k.size() == nick.size() && k.compare(nick, Qt::CaseInsensitive) == 0;
    });
    if (known != m_recent.end()) {
        std::rotate(m_recent.begin(), known, std::next(known));
        m_recent.front() = nick;
        return;
    }
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
