#include "blockednicks.h"

#include "ranksigns.h"

#include <QSet>

#include <algorithm>

BlockedNicks::BlockedNicks(QObject *parent) : QStringListModel(parent) {}

Qt::ItemFlags BlockedNicks::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

bool BlockedNicks::isBlocked(QStringView nick) const
{
    const QStringList entries = stringList();
    return std::any_of(entries.cbegin(), entries.cend(),
                       [nick](const QString &entry) { return entry == nick; });
}

bool BlockedNicks::add(const QString &nick)
{
    if (nick.isEmpty() || isBlocked(nick))
        return false;
    const int row = rowCount();
    insertRows(row, 1);
    setData(index(row), nick);
    return true;
}

bool BlockedNicks::addMember(QStringView memberEntry)
{
    return add(ranksigns::withoutSign(memberEntry).toString());
}

void BlockedNicks::blockAll(const QStringList &memberEntries)
{
    QStringList nicks;
    // A member listed twice (a repeated names reply) must not leave a second entry behind that
    // would keep the nick blocked after the user removes the first.
    QSet<QString> seen;
    for (const QString &entry : memberEntries) {
        if (entry.startsWith(u'~'))
            continue;
        const QString nick = ranksigns::withoutSign(entry).toString();
        if (nick.isEmpty() || seen.contains(nick))
            continue;
        seen.insert(nick);
        nicks << nick;
    }
    setStringList(nicks);
}

void BlockedNicks::clear()
{
    if (rowCount() > 0)
        removeRows(0, rowCount());
}
