#pragma once

#include <QRgb>

#include <vector>

class QMenu;
class QAction;
class QTreeWidget;

// What the list pages share: their report-style lists and their menus.
namespace kivo::lists {

// The text colour of the playlist's and the repeat sections' lists.
inline constexpr QRgb kListTextColour = 0xFFA2FF00;

// A report-style list: a header, rows without a tree's indentation, whole rows selected and
// several at once, black with the given text colour.
void styleReportList(QTreeWidget &list, QRgb textColour);

// The rows selected in a report-style list, top to bottom.
std::vector<int> selectedRows(const QTreeWidget &list);
// Selects exactly these rows and makes the last of them current.
void selectRows(QTreeWidget &list, const std::vector<int> &rows);

// A menu item that carries its command id.
QAction *addMenuItem(QMenu &menu, const char *text, int command);

}  // namespace kivo::lists
