#pragma once

#include <QDialog>

class BlockedNicks;
class MemberList;
class QListView;

// The "Blocked Nicks List" window: shows the shared blocked list and lets the user add to it,
// remove from it, empty it or fill it with the room's members. Closing it only hides it.
class BlockedNicksWindow : public QDialog
{
    Q_OBJECT
public:
    BlockedNicksWindow(BlockedNicks &nicks, const MemberList &members, QWidget *parent = nullptr);

private:
    void askForNick();
    void removeSelected();
    void blockAll();

    BlockedNicks &m_nicks;
    const MemberList &m_members;
    QListView *m_nickList = nullptr;
};
