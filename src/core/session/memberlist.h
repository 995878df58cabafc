#pragma once

#include "sortedentries.h"

#include <QAbstractListModel>
#include <QStringList>
#include <QTimer>

// The room's members, each entry a nick with an optional rank prefix ("~", "&", "@", "%", "+"),
// kept in list order: ranks first, in rank order, then names alphabetically without regard to
// case, symbols before digits and letters, as the original list box sorted. Look-ups use binary
// search, insertions move one small block, and a names burst is sorted and merged in once: at
// the end of the names reply, before the list is next read, or after a short while, whichever
// comes first.
class MemberList : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit MemberList(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Entries, names still waiting to be merged included.
    int count() const { return m_entries.size() + int(m_pending.size()); }
    QString at(int row) const;
    QStringList entries() const;

    // Index of the first entry equal to text, ignoring case; -1 when there is none.
    int findExact(QStringView text) const;
    void add(const QString &entry);
    // Adds the entries of a names reply; they are merged as one batch.
    void addNames(const QStringList &entries);
    void removeAt(int row);
    // Removes the first entry equal to text ignoring case; false when there is none.
    bool remove(QStringView text);
    void clear();

    // Merges waiting names now.
    void flushPending() const;

private:
    mutable SortedEntries m_entries;
    mutable QStringList m_pending;
    QTimer m_flushTimer;
};
