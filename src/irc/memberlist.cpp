#include "memberlist.h"

#include <algorithm>

namespace {

bool lessIgnoringCase(QStringView a, QStringView b)
{
    return QtPrivate::compareStrings(a, b, Qt::CaseInsensitive) < 0;
}

// Entries equal but for case keep a fixed order among themselves.
bool entryLess(const QString &a, const QString &b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace

MemberList::MemberList(QObject *parent) : QAbstractListModel(parent) {}

int MemberList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant MemberList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || role != Qt::DisplayRole)
        return QVariant();
    return m_entries[index.row()];
}

int MemberList::findExact(QStringView text) const
{
    const auto it = std::lower_bound(
        m_entries.cbegin(), m_entries.cend(), text,
        [](const QString &entry, QStringView value) { return lessIgnoringCase(entry, value); });
    if (it == m_entries.cend() || QtPrivate::compareStrings(*it, text, Qt::CaseInsensitive) != 0)
        return -1;
    return int(it - m_entries.cbegin());
}

void MemberList::add(const QString &entry)
{
    const auto it = std::upper_bound(m_entries.cbegin(), m_entries.cend(), entry, entryLess);
    const int row = int(it - m_entries.cbegin());
    beginInsertRows(QModelIndex(), row, row);
    m_entries.insert(row, entry);
    endInsertRows();
}

void MemberList::removeAt(int row)
{
    if (row < 0 || row >= count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_entries.removeAt(row);
    endRemoveRows();
}

bool MemberList::remove(QStringView text)
{
    const int row = findExact(text);
    if (row < 0)
        return false;
    removeAt(row);
    return true;
}

void MemberList::clear()
{
    if (m_entries.isEmpty())
        return;
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

int FindNickExact(const MemberList &list, QStringView text)
{
    return list.findExact(text);
}
