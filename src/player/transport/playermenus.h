#pragma once

#include <QString>

#include <utility>
#include <vector>

// The player's pop-up menus as data: every item's command id and text in order, with
// separators and sub-menus. Texts keep their '&' mnemonics and, after a tab, the shortcut
// column. The window that shows a menu builds it from this data and asks the menu's state
// function (optionmenustate.h, videomenustate.h) which items are greyed, checked or relabelled.
namespace kivo::player {

enum PlayerMenuId {
    kOptionMenu = 360,        // beside the option button
    kShortcutMenu = 414,      // the accelerator keys, documented
    kForwardRateMenu = 464,   // beside the ff button: "SF/FF"
    kBackwardRateMenu = 465,  // beside the fr button: "SR/FR"
    kViewMenu = 324,          // the video window's context menu "뷰"
};

// The positions of the sub-menus of the video window's menu that its rules grey.
inline constexpr int kViewSpeedSubMenuPosition = 4;
inline constexpr int kViewPlayModeSubMenuPosition = 5;
inline constexpr int kViewZoomSubMenuPosition = 17;
inline constexpr int kViewSaveImageSubMenuPosition = 22;

struct MenuItem {
    enum Kind { kCommand, kSeparator, kSubMenu };

    Kind kind = kSeparator;
    int id = 0;  // kCommand only
    QString text;
    std::vector<MenuItem> items;  // kSubMenu only

    static MenuItem command(int id, const QString &text) { return {kCommand, id, text, {}}; }
    static MenuItem separator() { return {}; }
    static MenuItem subMenu(const QString &text, std::vector<MenuItem> items) {
        return {kSubMenu, 0, text, std::move(items)};
    }
};

// A menu resource holds one pop-up, the one the control panel tracks; title is its name.
struct PlayerMenu {
    int id = 0;
    QString title;
    std::vector<MenuItem> items;
};

// The menu of an id of PlayerMenuId, or null.
const PlayerMenu *playerMenu(int menuId);

// The rate menu shown beside a fast button (kForwardRateMenu for ff, kBackwardRateMenu for fr),
// or 0 for another button.
int rateMenuOfButton(int buttonId);

}  // namespace kivo::player
