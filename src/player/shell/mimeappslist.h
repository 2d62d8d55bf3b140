#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace kivo::shell {

// The player's desktop entry, as mimeapps.list names a default program.
inline constexpr char kPlayerDesktopId[] = "kivop.desktop";

// One type to take over for the player, or to give back.
struct CTypeChange {
    QString type;
    bool takeOver = false;
};

// The user's default programs for MIME types and URL schemes (mimeapps.list, group
// [Default Applications]) together with the defaults the player replaced, which it keeps in a
// key file of its own (KIVOP.bak, group [Default Applications], type=previous value). A backup
// with an empty value records that the type had no default: giving such a type back removes its
// entry from mimeapps.list.
//
// Taking a type over keeps its current default as the backup unless there is one already, so a
// second take-over never loses the first; giving a type back restores its backup and leaves the
// backup in place; a type without a backup is left alone. Every other line of both files stays
// byte for byte, and each file is replaced atomically.
class CMimeAppsList {
public:
    // $XDG_CONFIG_HOME/mimeapps.list and $XDG_CONFIG_HOME/KIVO Player/KIVOP.bak.
    explicit CMimeAppsList(QString listPath = defaultListPath(),
                           QString backupPath = defaultBackupPath());

    static QString defaultListPath();
    static QString defaultBackupPath();

    // Those of the types whose default is the player (the first desktop id of the entry,
    // compared in any case). None when mimeapps.list cannot be read.
    QSet<QString> ownedTypes(const QStringList &types) const;

    // Applies the changes in order and writes each file at most once. 1 when done (also when
    // nothing had to change); 0 when a file cannot be read or written, or a type cannot be a
    // key: then both files are as they were.
    int apply(const std::vector<CTypeChange> &changes) const;

private:
    QString m_listPath;
    QString m_backupPath;
};

}  // namespace kivo::shell
