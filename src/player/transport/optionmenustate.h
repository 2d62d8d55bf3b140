#pragma once

#include <QString>

#include <map>
#include <set>

// Which items of the option menu are greyed or checked, worked out from the player's state
// just before the menu is shown.
namespace kivo::player {

// What the option menu's rules read.
struct OptionMenuInput {
    bool fileOpen = false;
    bool openedFromScv = false;   // the open file came from a scene-description file
    bool hasDescription = false;  // the open file has a scene description
    bool grabberOpen = false;     // the frame grabber is open on the file
    bool repeatPlayMode = false;  // repeat play; normal play otherwise
    bool hasRepeatSections = false;
    bool topMost = false;
    bool separateMode = false;
    bool multiPlayerMode = false;  // the stored setting
    bool screenSaverAllowed = true;
};

struct MenuItemState {
    bool enabled = true;
    bool checked = false;

    bool operator==(const MenuItemState &) const = default;
};

// The state of a menu's items by command id and of its sub-menus by their position in the
// menu. Items and sub-menus not named are enabled and unchecked and keep the text of the menu's
// data.
class CMenuState {
public:
    MenuItemState item(int commandId) const;
    bool isSubMenuEnabled(int position) const;
    // The text an item shows instead of its data's text; empty to keep that.
    QString text(int commandId) const;

    void setItem(int commandId, MenuItemState state) { m_items[commandId] = state; }
    void disableSubMenu(int position) { m_disabledSubMenus.insert(position); }
    void setText(int commandId, const QString &text) { m_texts[commandId] = text; }

private:
    std::map<int, MenuItemState> m_items;
    std::set<int> m_disabledSubMenus;
    std::map<int, QString> m_texts;
};

// The position of the play-mode sub-menu in the option menu.
inline constexpr int kPlayModeSubMenuPosition = 3;

CMenuState optionMenuState(const OptionMenuInput &input);

}  // namespace kivo::player
