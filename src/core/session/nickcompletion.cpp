#include "nickcompletion.h"

#include "ranksigns.h"

#include <algorithm>
#include <utility>

void NickCompletion::noteSpeaker(const QString &nick)
{
    // Called for every room line: the nick is folded once and then compared exactly, and a
    // nick is listed once, so the first match is the only one.
    Speaker speaker{nick.toCaseFolded(), nick};
    const auto known = std::find_if(m_recent.begin(), m_recent.end(), [&speaker](const Speaker &s) {
        return s.folded == speaker.folded;
    });
    if (known != m_recent.end()) {
        std::rotate(m_recent.begin(), known, std::next(known));
        m_recent.front() = std::move(speaker);
        return;
    }
    m_recent.push_front(std::move(speaker));
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
    for (const Speaker &speaker : m_recent) {
        const auto found = std::find_if(matching.begin(), matching.end(), [&](const QString &nick) {
            return nick.compare(speaker.nick, Qt::CaseInsensitive) == 0;
        });
        if (found != matching.end()) {
            ordered << *found;
            matching.erase(found);
        }
    }
    return ordered + matching;
}
