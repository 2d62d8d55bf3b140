#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// A key file of the desktop (mimeapps.list, .desktop entries, other INI-style files) held line
// by line so that an edit changes only the line it touches: comments, blank lines, unknown
// lines, order, line endings and bytes that are not UTF-8 survive a load and save unchanged.
// Groups are "[name]" lines; entries are "key=value" lines (blanks around '=' ignored) and
// belong to the group above them (the group "" before the first group line).
class CIniDocument {
public:
    // Files larger than this are not edited: no desktop key file comes near it.
    static constexpr qsizetype kMaxSize = qsizetype{1} << 20;

    static CIniDocument parse(const QByteArray &text);
    QByteArray serialize() const;

    // The document of a key file on disk; a missing file gives an empty document. Nothing when
    // the path is empty or not a regular file, or the file cannot be read or is larger than
    // kMaxSize.
    static std::optional<CIniDocument> load(const QString &path);
    // Replaces the file with the document atomically, creating its folder when needed. 1 when
    // written, 0 otherwise (the file is then as it was).
    int save(const QString &path) const;

    // The value of the first entry with this key in the first group of this name.
    std::optional<QString> value(const QString &group, const QString &key) const;
    bool contains(const QString &group, const QString &key) const;
    // Replaces the entry's value in place, or appends the entry at the end of the group, or
    // appends the group and the entry at the end of the file. False (nothing changed) for a
    // group with ']' or a line break, a key that is empty, has '=', '[' or a line break or
    // starts or ends with a blank, and a value with a line break.
    bool setValue(const QString &group, const QString &key, const QString &value);
    // Removes every entry with this key from the group, so that it has no value afterwards;
    // every other line stays as it is. False when there was none.
    bool remove(const QString &group, const QString &key);

private:
    struct Line {
        enum Kind { kOther, kGroup, kEntry };
        Kind kind = kOther;
        QByteArray raw;    // the line as read or written, without its '\n'
        QByteArray group;  // the group the line belongs to (its own name for a group line)
        QByteArray key;
        QByteArray value;
    };

    static Line parseLine(const QByteArray &raw, const QByteArray &group);
    std::optional<size_t> find(const QByteArray &group, const QByteArray &key) const;

    std::vector<Line> m_lines;
    bool m_crlf = false;
    bool m_finalNewline = true;
};
