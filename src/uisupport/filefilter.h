#pragma once

#include <QString>
#include <QStringList>

// File-dialog filters are written in the Windows form "text|patterns|text|patterns|...", with
// patterns separated by ';' (a trailing ';' and a trailing '|' are common). Qt wants one entry
// "text (pattern pattern ...)" per filter.
namespace kivo::ui {

// One Qt filter per text/pattern pair, in order. Patterns are matched case-insensitively on
// Windows but not by a Linux file dialog, so every extension pattern also appears in the other
// case ("*.JPG" gives "*.JPG *.jpg"); "*.*" (everything, on Windows) becomes "*". A text that
// already ends in its own pattern list in parentheses has that list replaced; any other text
// keeps its words and gets the list appended. A pair without patterns is dropped.
QStringList qtFileFilters(const QString &windowsFilter);

// qtFileFilters() joined with ";;", the form QFileDialog takes in one string.
QString qtFileFilterString(const QString &windowsFilter);

}  // namespace kivo::ui
