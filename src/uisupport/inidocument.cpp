#include "uisupport/inidocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <span>

#include "platform/atomicfile.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimmedBlanks(const QByteArray &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && isBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin);
}

bool hasLineBreak(const QString &text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

}  // namespace

CIniDocument::Line CIniDocument::parseLine(const QByteArray &raw, const QByteArray &group) {
    Line line;
    line.raw = raw;
    line.group = group;
    QByteArray content = raw;
    while (content.endsWith('\r')) {
        content.chop(1);
    }
    const QByteArray trimmed = trimmedBlanks(content);
    if (trimmed.isEmpty() || trimmed.startsWith('#') || trimmed.startsWith(';')) {
        return line;
    }
    if (trimmed.startsWith('[') && trimmed.endsWith(']') && trimmed.size() >= 2) {
        line.kind = Line::kGroup;
        line.group = trimmed.mid(1, trimmed.size() - 2);
        return line;
    }
    const qsizetype equals = content.indexOf('=');
    if (equals > 0) {
        const QByteArray key = trimmedBlanks(content.left(equals));
        if (!key.isEmpty()) {
            line.kind = Line::kEntry;
            line.key = key;
            QByteArray value = content.mid(equals + 1);
            qsizetype lead = 0;
            while (lead < value.size() && isBlank(value.at(lead))) {
                ++lead;
            }
            line.value = value.mid(lead);
        }
    }
    return line;
}

CIniDocument CIniDocument::parse(const QByteArray &text) {
    CIniDocument document;
    if (text.isEmpty()) {
        return document;
    }
    document.m_finalNewline = text.endsWith('\n');
    QList<QByteArray> raws = text.split('\n');
    if (document.m_finalNewline) {
        raws.removeLast();
    }
    document.m_crlf = !raws.isEmpty() && raws.constFirst().endsWith('\r');
    QByteArray group;
    for (const QByteArray &raw : raws) {
        Line line = parseLine(raw, group);
        if (line.kind == Line::kGroup) {
            group = line.group;
        }
        document.m_lines.push_back(std::move(line));
    }
    return document;
}

QByteArray CIniDocument::serialize() const {
    QByteArray text;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        text += m_lines[i].raw;
        if (i + 1 < m_lines.size() || m_finalNewline) {
            text += '\n';
        }
    }
    return text;
}

std::optional<CIniDocument> CIniDocument::load(const QString &path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return CIniDocument();
    }
    if (!info.isFile() || info.size() > kMaxSize) {
        return std::nullopt;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // The size may have changed since it was looked at.
    const QByteArray text = in.read(kMaxSize + 1);
    if (text.size() > kMaxSize || in.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return parse(text);
}

int CIniDocument::save(const QString &path) const {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return 0;
    }
    const QByteArray text = serialize();
    return kivo::writeFileAtomically(
        QFile::encodeName(path).toStdString(),
        std::span(reinterpret_cast<const uint8_t *>(text.constData()), size_t(text.size())));
}

std::optional<size_t> CIniDocument::find(const QByteArray &group, const QByteArray &key) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Line::kEntry && line.group == group && line.key == key) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<QString> CIniDocument::value(const QString &group, const QString &key) const {
    const auto index = find(group.toUtf8(), key.toUtf8());
    if (!index) {
        return std::nullopt;
    }
    return QString::fromUtf8(m_lines[*index].value);
}

bool CIniDocument::contains(const QString &group, const QString &key) const {
    return find(group.toUtf8(), key.toUtf8()).has_value();
}

bool CIniDocument::setValue(const QString &group, const QString &key, const QString &value) {
    if (hasLineBreak(group) || group.contains(QLatin1Char(']')) || key.isEmpty() ||
        hasLineBreak(key) || key.contains(QLatin1Char('=')) || key.contains(QLatin1Char('[')) ||
        key.trimmed() != key || hasLineBreak(value)) {
        return false;
    }
    const QByteArray groupBytes = group.toUtf8();
    const QByteArray keyBytes = key.toUtf8();
    Line entry;
    entry.kind = Line::kEntry;
    entry.group = groupBytes;
    entry.key = keyBytes;
    entry.value = value.toUtf8();
    entry.raw = keyBytes + '=' + entry.value;
    if (m_crlf) {
        entry.raw += '\r';
    }
    if (const auto index = find(groupBytes, keyBytes)) {
        m_lines[*index] = std::move(entry);
        return true;
    }
    // After the last entry of the group, so trailing blank lines stay between the groups.
    std::optional<size_t> insertAt;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        if (line.group != groupBytes) {
            continue;
        }
        if ((line.kind == Line::kGroup && !insertAt) || line.kind == Line::kEntry) {
            insertAt = i + 1;
        }
    }
    if (!insertAt && groupBytes.isEmpty()) {
        insertAt = 0;
    }
    if (!insertAt) {
        if (!m_lines.empty() && !m_finalNewline) {
            m_finalNewline = true;
        }
        Line header;
        header.kind = Line::kGroup;
        header.group = groupBytes;
        header.raw = '[' + groupBytes + ']';
        if (m_crlf) {
            header.raw += '\r';
        }
        m_lines.push_back(std::move(header));
        insertAt = m_lines.size();
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), std::move(entry));
    if (*insertAt == m_lines.size() - 1) {
        m_finalNewline = true;
    }
    return true;
}

bool CIniDocument::remove(const QString &group, const QString &key) {
    const QByteArray groupBytes = group.toUtf8();
    const QByteArray keyBytes = key.toUtf8();
    const auto removed = std::erase_if(m_lines, [&](const Line &line) {
        return line.kind == Line::kEntry && line.group == groupBytes && line.key == keyBytes;
    });
    return removed > 0;
}
