#include "player/shell/mimeappslist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <utility>

#include "platform/log.h"
#include "uisupport/inidocument.h"
#include "uisupport/registryex.h"

namespace kivo::shell {
namespace {

const QString kGroup = QStringLiteral("Default Applications");

void warn(const char *failure, const QString &path) {
    kivo::logWarning("shell", failure + QFile::encodeName(path).toStdString());
}

// Records each change in the two documents; false when a type cannot be a key.
bool applyTo(CIniDocument &list, CIniDocument &backups, const std::vector<CTypeChange> &changes) {
    const QString player = QString::fromLatin1(kPlayerDesktopId);
    for (const CTypeChange &change : changes) {
        if (change.takeOver) {
            if (!backups.contains(kGroup, change.type) &&
                !backups.setValue(kGroup, change.type,
                                  list.value(kGroup, change.type).value_or(QString()))) {
                return false;
            }
            if (!list.setValue(kGroup, change.type, player)) {
                return false;
            }
        } else if (const std::optional<QString> backup = backups.value(kGroup, change.type)) {
            if (backup->isEmpty()) {
                list.remove(kGroup, change.type);
            } else if (!list.setValue(kGroup, change.type, *backup)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

CMimeAppsList::CMimeAppsList(QString listPath, QString backupPath)
    : m_listPath(std::move(listPath)), m_backupPath(std::move(backupPath)) {}

QString CMimeAppsList::defaultListPath() {
    const QString folder = COVRegistryEx::rootFolder(COVRegistryEx::kUserConfig);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("mimeapps.list"));
}

QString CMimeAppsList::defaultBackupPath() {
    const QString folder = COVRegistryEx::rootFolder(COVRegistryEx::kUserConfig);
    return folder.isEmpty() ? QString()
                            : QDir(folder).filePath(QStringLiteral("KIVO Player/KIVOP.bak"));
}

QSet<QString> CMimeAppsList::ownedTypes(const QStringList &types) const {
    QSet<QString> owned;
    const std::optional<CIniDocument> list = CIniDocument::load(m_listPath);
    if (!list) {
        return owned;
    }
    for (const QString &type : types) {
        const QString first =
            list->value(kGroup, type).value_or(QString()).section(QLatin1Char(';'), 0, 0);
        if (first.trimmed().compare(QLatin1String(kPlayerDesktopId), Qt::CaseInsensitive) == 0) {
            owned.insert(type);
        }
    }
    return owned;
}

int CMimeAppsList::apply(const std::vector<CTypeChange> &changes) const {
    const std::optional<CIniDocument> list = CIniDocument::load(m_listPath);
    const std::optional<CIniDocument> backups = CIniDocument::load(m_backupPath);
    if (!list || !backups) {
        warn("cannot read ", list ? m_backupPath : m_listPath);
        return 0;
    }
    CIniDocument newList = *list;
    CIniDocument newBackups = *backups;
    if (!applyTo(newList, newBackups, changes)) {
        return 0;
    }
    const bool backupsChanged = newBackups.serialize() != backups->serialize();
    const bool backupsExisted = QFileInfo::exists(m_backupPath);
    if (backupsChanged && !newBackups.save(m_backupPath)) {
        warn("cannot write ", m_backupPath);
        return 0;
    }
    if (newList.serialize() != list->serialize() && !newList.save(m_listPath)) {
        warn("cannot write ", m_listPath);
        // A backup of a take-over that did not happen would later stand in for a newer default.
        if (backupsChanged) {
            if (backupsExisted) {
                backups->save(m_backupPath);
            } else {
                QFile::remove(m_backupPath);
            }
        }
        return 0;
    }
    return 1;
}

}  // namespace kivo::shell
