#pragma once

#include <QKeyCombination>
#include <QString>

#include <vector>

// The accelerator keys as a table for people: the user guide's keyboard table is made from it
// when the program is built, so it always says what the keys do.
namespace kivo::player {

struct ShortcutRow {
    QString keys;    // as the user presses them: "Ctrl + 위쪽 화살표"
    QString action;  // the command's name in the player's menus: "화면크게"
};

// A key as the menus write it: modifiers first, joined by " + ".
QString keyText(QKeyCombination key);

// One row per accelerator, in the key table's order. A command is named as the shortcut menu
// names it, or, for a key that menu does not list, as the option menu does; without '&' marks.
std::vector<ShortcutRow> shortcutTable();

// The table as an HTML table (class "keys"), texts escaped.
QString shortcutTableHtml();

}  // namespace kivo::player
