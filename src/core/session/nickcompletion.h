#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <deque>

// What a nick being typed can be completed to: the members whose name, rank sign left out,
// begins with what was typed, ignoring case; those who spoke most recently first, then the
// rest in list order. Remembers the most recent speakers of the room, a bounded few.
class NickCompletion
{
public:
    static constexpr size_t RememberedSpeakers = 64;

    void noteSpeaker(const QString &nick);
    QStringList candidates(QStringView typed, const QStringList &memberEntries) const;

private:
    struct Speaker
    {
        QString folded; // the nick case-folded, for comparing
        QString nick;
    };
    std::deque<Speaker> m_recent; // most recent first
};
