#pragma once

#include <QStringListModel>

// Nicks whose private messages are refused, in the order they were added; kept for the life of
// the program only. One list serves the interpreter and every window that shows or edits it.
// Entries compare exactly, with case, so Bob and bob are two entries. They cannot be edited in
// place: they change only through the operations below and removeRows().
class BlockedNicks : public QStringListModel
{
    Q_OBJECT
public:
    explicit BlockedNicks(QObject *parent = nullptr);

    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // True when nick equals an entry exactly, with case.
    bool isBlocked(QStringView nick) const;

    // Appends nick unless it is empty or already listed exactly; true when it was appended.
    bool add(const QString &nick);
    // Adds a member list entry, without its rank sign "~", "&", "@", "%" or "+".
    bool addMember(QStringView memberEntry);
    // Replaces the list with the room's members, in the order given: owners ("~") are left out,
    // the other rank signs are dropped.
    void blockAll(const QStringList &memberEntries);
    void clear();
};
