#include "memberlistview.h"

#include <QItemSelectionModel>

#include <algorithm>

void MemberListView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    if (QItemSelectionModel *selection = selectionModel()) {
        auto removed = [&](const QModelIndex &index) {
            return index.isValid() && index.parent() == parent && index.row() >= start &&
                   index.row() <= end;
        };
        const QModelIndexList selected = selection->selectedIndexes();
        // Cleared before the view picks a neighbour as the new current (and selected) row.
        if (removed(selection->currentIndex()) ||
            std::any_of(selected.cbegin(), selected.cend(), removed))
            selection->clear();
    }
    QListView::rowsAboutToBeRemoved(parent, start, end);
}
