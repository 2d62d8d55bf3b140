#pragma once

#include <QAction>
#include <QMenu>
#include <QStringList>
#include <QTreeWidget>

// Reading windows the way a user sees them.

// Whether the menu's item for `command` (its action's data) can be chosen; false when the menu
// has no such item.
inline bool isEnabled(const QMenu &menu, int command) {
    for (const QAction *action : menu.actions()) {
        if (action->data().toInt() == command) {
            return action->isEnabled();
        }
    }
    return false;
}

// The texts of one column of a list, top to bottom.
inline QStringList rowTexts(const QTreeWidget &list, int column) {
    QStringList texts;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        texts.append(list.topLevelItem(row)->text(column));
    }
    return texts;
}
