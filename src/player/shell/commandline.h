#pragma once

#include <QString>

// The path a start of the player was given. The system's own starts pass one path in double
// quotes; desktops pass it bare (%f). Quotes are stripped only when they are there, so a bare
// path keeps every character.
QString pathFromCommandLine(const QString &commandLine);
