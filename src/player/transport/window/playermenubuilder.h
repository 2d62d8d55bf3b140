#pragma once

#include <memory>

#include "player/transport/optionmenustate.h"
#include "player/transport/playermenus.h"

class QMenu;
class QWidget;

// A pop-up menu of the player built from its data: every command item an action whose data()
// is its command id, greyed, checked and relabelled as the state says; the text after a tab shows
// as the shortcut column.
std::unique_ptr<QMenu> buildPlayerMenu(const kivo::player::PlayerMenu &menu,
                                       const kivo::player::CMenuState &state,
                                       QWidget *parent = nullptr);
