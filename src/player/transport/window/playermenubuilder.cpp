#include "player/transport/window/playermenubuilder.h"

#include <QMenu>

namespace {

using kivo::player::CMenuState;
using kivo::player::MenuItem;

void addItems(QMenu &menu, const std::vector<MenuItem> &items, const CMenuState &state,
              bool topLevel) {
    int position = 0;
    for (const MenuItem &item : items) {
        switch (item.kind) {
            case MenuItem::kSeparator:
                menu.addSeparator();
                break;
            case MenuItem::kCommand: {
                const QString text = state.text(item.id);
                QAction *action = menu.addAction(text.isEmpty() ? item.text : text);
                const kivo::player::MenuItemState look = state.item(item.id);
                action->setData(item.id);
                action->setEnabled(look.enabled);
                action->setCheckable(look.checked);
                action->setChecked(look.checked);
                break;
            }
            case MenuItem::kSubMenu: {
                QMenu *subMenu = menu.addMenu(item.text);
                addItems(*subMenu, item.items, state, false);
                subMenu->setEnabled(!topLevel || state.isSubMenuEnabled(position));
                break;
            }
        }
        ++position;
    }
}

}  // namespace

std::unique_ptr<QMenu> buildPlayerMenu(const kivo::player::PlayerMenu &menu,
                                       const CMenuState &state, QWidget *parent) {
    auto popup = std::make_unique<QMenu>(menu.title, parent);
    addItems(*popup, menu.items, state, true);
    return popup;
}
