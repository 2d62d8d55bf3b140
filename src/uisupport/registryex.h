#pragma once

#include <QString>

#include "uisupport/inidocument.h"

// Raw access to one group of a desktop key file: the store in which a Linux desktop keeps what
// the Windows registry's shell keys keep (mimeapps.list for the default handlers of MIME types
// and URL schemes, .desktop entries for programs). A group plays the part of a registry key
// and its entries the part of the key's values. Every write replaces the file atomically.
class COVRegistryEx {
public:
    enum Root {
        kUserConfig,  // $XDG_CONFIG_HOME (mimeapps.list)
        kUserData,    // $XDG_DATA_HOME (applications/*.desktop)
    };

    static QString rootFolder(Root root);

    // Opens the group of the file below the root folder. A missing file opens empty and is
    // created by the first write. 0 when the file exists but cannot be read, is not a regular
    // file or is larger than CIniDocument::kMaxSize.
    int open(Root root, const QString &file, const QString &group);
    int open(const QString &absoluteFile, const QString &group);
    void close();
    bool isOpen() const { return m_open; }

    // 1 and the value when the entry exists; 0 otherwise (value untouched).
    int readString(const QString &name, QString &value) const;
    // 1 when the value is stored and the file written; 0 when closed, refused or not written.
    int writeString(const QString &name, const QString &value);
    bool verifyValue(const QString &name) const;

private:
    bool m_open = false;
    QString m_file;
    QString m_group;
    CIniDocument m_document;
};
