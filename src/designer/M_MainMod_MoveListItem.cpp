#include "designer/M_MainMod.h"

#include "controls/CListViewManager.h"

#include <QTreeWidget>

namespace M_MainMod {

namespace {

void swapData(QTreeWidgetItem* a, QTreeWidgetItem* b, int column, int role) {
    const QVariant va = a->data(column, role);
    const QVariant vb = b->data(column, role);
    if (va != vb) {
        a->setData(column, role, vb);
        b->setData(column, role, va);
    }
}

} // namespace

void MoveListItem(QTreeWidget* ListView, QTreeWidgetItem* Item, int Direction) {
    if (!ListView || !Item || ListView->topLevelItemCount() == 0)
        return;
    const int row = ListView->indexOfTopLevelItem(Item);
    if (row < 0)
        return;
    int other = -1;
    if (Direction == 2)
        other = row - 1;
    else if (Direction == 1)
        other = row + 1;
    if (other < 0 || other >= ListView->topLevelItemCount())
        return;
    QTreeWidgetItem* neighbour = ListView->topLevelItem(other);

    // The contents move: texts and cell values, tag, icon, check state. Selection, the
    // current-item mark and anything else stay with the rows. The exchange is no edit and no
    // check click of the user, so the list reports none.
    {
        const QSignalBlocker quiet(ListView);
        for (int c = 0; c < ListView->columnCount(); ++c) {
            swapData(Item, neighbour, c, Qt::DisplayRole);
            swapData(Item, neighbour, c, CListViewManager::ValueRole);
        }
        swapData(Item, neighbour, 0, CListViewManager::TagRole);
        swapData(Item, neighbour, 0, Qt::DecorationRole);
        swapData(Item, neighbour, 0, CListViewManager::CheckRole);
        swapData(Item, neighbour, 0, Qt::CheckStateRole);
    }

    ListView->setCurrentItem(neighbour);
    neighbour->setSelected(true);
}

} // namespace M_MainMod
