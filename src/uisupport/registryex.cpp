#include "uisupport/registryex.h"

#include <QDir>
#include <QStandardPaths>

QString COVRegistryEx::rootFolder(Root root) {
    return QStandardPaths::writableLocation(root == kUserConfig
                                                ? QStandardPaths::GenericConfigLocation
                                                : QStandardPaths::GenericDataLocation);
}

int COVRegistryEx::open(Root root, const QString &file, const QString &group) {
    return open(QDir(rootFolder(root)).filePath(file), group);
}

int COVRegistryEx::open(const QString &absoluteFile, const QString &group) {
    close();
    std::optional<CIniDocument> document = CIniDocument::load(absoluteFile);
    if (!document) {
        return 0;
    }
    m_document = std::move(*document);
    m_file = absoluteFile;
    m_group = group;
    m_open = true;
    return 1;
}

void COVRegistryEx::close() {
    m_open = false;
    m_file.clear();
    m_group.clear();
    m_document = CIniDocument();
}

int COVRegistryEx::readString(const QString &name, QString &value) const {
    if (!m_open) {
        return 0;
    }
    const auto stored = m_document.value(m_group, name);
    if (!stored) {
        return 0;
    }
    value = *stored;
    return 1;
}

int COVRegistryEx::writeString(const QString &name, const QString &value) {
    if (!m_open) {
        return 0;
    }
    CIniDocument changed = m_document;
    if (!changed.setValue(m_group, name, value)) {
        return 0;
    }
    if (!changed.save(m_file)) {
        return 0;
    }
    m_document = std::move(changed);
    return 1;
}

bool COVRegistryEx::verifyValue(const QString &name) const {
    return m_open && m_document.contains(m_group, name);
}
