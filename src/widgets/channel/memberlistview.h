#pragma once

#include <QListView>

// The room's member list. When the selected member's entry is removed (the member parted, quit
// or was kicked, or the entry is being replaced for a new nick or rank), no member stays
// selected, as in a plain list box. A list view would move the selection to a neighbour, and the
// member commands would then act on someone the user never picked.
class MemberListView : public QListView
{
    Q_OBJECT
public:
    explicit MemberListView(QWidget *parent = nullptr) : QListView(parent) {}

protected:
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
};
