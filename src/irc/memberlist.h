#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The room's members, each entry a nick with an optional rank prefix ("~", "&", "@", "+"),
// kept sorted alphabetically without regard to case like a sorted list box. Look-ups use binary
// search on that order, so they never scan the whole list.
class MemberList : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit MemberList(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int count() const { return int(m_entries.size()); }
    const QString &at(int row) const { return m_entries[row]; }
    const QStringList &entries() const { return m_entries; }

    // Index of the first entry equal to text, ignoring case; -1 when there is none.
    int findExact(QStringView text) const;
    void add(const QString &entry);
    void removeAt(int row);
    // Removes the first entry equal to text ignoring case; false when there is none.
    bool remove(QStringView text);
    void clear();

private:
    QStringList m_entries;
};

int FindNickExact(const MemberList &list, QStringView text);
