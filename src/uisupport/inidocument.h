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

    // The value of the first entry with this key in the first group of this name.
    std::optional<QString> value(const QString &group, const QString &key) const;
    bool contains(const QString &group, const QString &key) const;
    // Replaces the entry's value in place, or appends the entry at the end of the group, or
    // appends the group and the entry at the end of the file. False (nothing changed) for a
    // group with ']' or a line break, a key that is empty, has '=', '[' or a line break or
    // starts or ends with a blank, and a value with a line break.
    bool setValue(const QString &group, const QString &key, const QString &value);

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
