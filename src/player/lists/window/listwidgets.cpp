#include "player/lists/window/listwidgets.h"

#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

#include <algorithm>

namespace kivo::lists {

void styleReportList(QTreeWidget &list, QRgb textColour) {
    list.setRootIsDecorated(false);
    list.setUniformRowHeights(true);
    list.setAllColumnsShowFocus(true);
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    list.header()->setStretchLastSection(false);
    list.header()->setSectionsMovable(false);
    QPalette colours = list.palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, QColor::fromRgb(textColour));
    // The header in the skin's graphite, its titles in the pages' light grey.
    colours.setColor(QPalette::Button, QColor(0x2C, 0x30, 0x37));
    colours.setColor(QPalette::ButtonText, QColor(0xD8, 0xDD, 0xE4));
    list.setPalette(colours);
}

std::vector<int> selectedRows(const QTreeWidget &list) {
    std::vector<int> rows;
    for (const QTreeWidgetItem *item : list.selectedItems()) {
        rows.push_back(list.indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(item)));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void selectRows(QTreeWidget &list, const std::vector<int> &rows) {
    list.clearSelection();
    for (const int row : rows) {
        if (QTreeWidgetItem *item = list.topLevelItem(row)) {
            item->setSelected(true);
            list.setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
            list.scrollToItem(item);
        }
    }
}

QAction *addMenuItem(QMenu &menu, const char *text, int command) {
    QAction *action = menu.addAction(QString::fromUtf8(text));
    action->setData(command);
    return action;
}

}  // namespace kivo::lists
