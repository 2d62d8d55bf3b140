#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The files a start of the player was given, as the text of a command line. The system's own
// starts pass one path in double quotes; several quoted paths are separated by blanks; desktops
// and terminals pass one path bare, which is kept whole (blanks and all). Quotes are stripped
// only when they are there. Several paths are told apart only when none holds a quote followed
// by a blank.
QStringList pathsFromCommandLine(const QString &commandLine);

// The file or address one argument of a start names: without the double quotes a caller put
// around it (only when both are there), and a local file's URL (file://..., as desktops pass
// them) as its path.
QString pathFromArgument(const QString &argument);

// The files and addresses of a program's arguments (argv[1] on), each through pathFromArgument;
// empty ones are left out.
QStringList pathsFromArguments(int argc, const char *const *argv);

// The command line a second start hands to the running player: each argument made absolute
// against the start's own folder (addresses such as "mms://..." stay as they are) and quoted.
// At most maxBytes bytes of UTF-8: arguments that do not fit whole are left out.
QByteArray commandLineForHandOff(const QStringList &arguments, qsizetype maxBytes = 1023);
