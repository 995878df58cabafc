#include "memberlist.h"

namespace {
// A names burst that never ends with its end-of-names reply still shows after this long.
constexpr int kFlushDelayMs = 250;
} // namespace

MemberList::MemberList(QObject *parent) : QAbstractListModel(parent)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushDelayMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &MemberList::flushPending);
}

int MemberList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_entries.size();
}

QVariant MemberList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size() || role != Qt::DisplayRole)
        return QVariant();
    return m_entries.at(index.row());
}

QString MemberList::at(int row) const
{
    flushPending();
    return m_entries.at(row);
}

QStringList MemberList::entries() const
{
    flushPending();
    return m_entries.toList();
}

int MemberList::findExact(QStringView text) const
{
    flushPending();
    return m_entries.findIgnoringCase(text);
}

void MemberList::add(const QString &entry)
{
    flushPending();
    const int row = m_entries.rowFor(entry);
    beginInsertRows(QModelIndex(), row, row);
    m_entries.insert(entry);
    endInsertRows();
}

void MemberList::addNames(const QStringList &entries)
{
    if (entries.isEmpty())
        return;
    m_pending += entries;
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void MemberList::flushPending() const
{
    if (m_pending.isEmpty())
        return;
    auto *self = const_cast<MemberList *>(this);
    self->beginResetModel();
    m_entries.insertMany(std::move(m_pending));
    m_pending.clear();
    self->endResetModel();
}

void MemberList::removeAt(int row)
{
    flushPending();
    if (row < 0 || row >= m_entries.size())
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
    m_pending.clear();
    m_flushTimer.stop();
    if (m_entries.size() == 0)
        return;
    beginResetModel();
    m_entries.clear();
    endResetModel();
}
