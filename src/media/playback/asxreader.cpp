// The ASX/WAX/WVX half of the metafile reader.

#include "media/playback/metafilereader.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QXmlStreamReader>

#include <cmath>
#include <optional>

namespace {

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isNameChar(QChar c) {
    return isAsciiLetter(c) || isAsciiDigit(c) || c == u'_' || c == u'-' || c == u'.' || c == u':';
}

// True when text[at] == '&' starts a character or entity reference ("&#38;", "&#x26;", "&amp;").
bool startsReference(const QString &text, qsizetype at) {
    constexpr qsizetype kLongestName = 32;
    qsizetype i = at + 1;
    if (i < text.size() && text[i] == u'#') {
        ++i;
        const bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
        if (hex) {
            ++i;
        }
        const qsizetype digits = i;
        while (i < text.size() && i - digits < kLongestName &&
               (isAsciiDigit(text[i]) || (hex && ((text[i] >= u'a' && text[i] <= u'f') ||
                                                  (text[i] >= u'A' && text[i] <= u'F'))))) {
            ++i;
        }
        return i > digits && i < text.size() && text[i] == u';';
    }
    if (i >= text.size() || !(isAsciiLetter(text[i]) || text[i] == u'_')) {
        return false;
    }
    const qsizetype name = i;
    while (i < text.size() && i - name < kLongestName && isNameChar(text[i])) {
        ++i;
    }
    return i < text.size() && text[i] == u';';
}

// Metafiles are written by hand: element names come in any case ("<Entry>...</ENTRY>") and
// addresses carry bare '&'. Lower-case every element name and escape stray ampersands so the
// XML reader accepts what Windows Media Player accepts.
QString normaliseMarkup(const QString &text) {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'<') {
            out += c;
            qsizetype j = i + 1;
            if (j < text.size() && text[j] == u'/') {
                out += u'/';
                ++j;
            }
            if (j < text.size() && (isAsciiLetter(text[j]) || text[j] == u'_')) {
                while (j < text.size() && isNameChar(text[j])) {
                    out += text[j].toLower();
                    ++j;
                }
            }
            i = j - 1;
        } else if (c == u'&' && !startsReference(text, i)) {
            out += u"&amp;";
        } else {
            out += c;
        }
    }
    return out;
}

// A start tag as the parser sees it, from the XML reader or from the forgiving scanner: the name
// in lower case and the attributes as written.
struct CTag {
    QString name;
    std::vector<std::pair<QString, QString>> attributes;
};

CTag tagOf(const QXmlStreamReader &reader) {
    CTag tag{reader.name().toString(), {}};
    for (const QXmlStreamAttribute &attr : reader.attributes()) {
        tag.attributes.emplace_back(attr.name().toString(), attr.value().toString());
    }
    return tag;
}

QString attribute(const CTag &tag, QStringView name) {
    for (const auto &[key, value] : tag.attributes) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value.trimmed();
        }
    }
    return {};
}

bool hasAttribute(const CTag &tag, QStringView name) {
    for (const auto &attr : tag.attributes) {
        if (attr.first.compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// "[[hh:]mm:]ss[.fraction]" in 100-nanosecond units; nothing for anything else.
std::optional<double> parseClock(const QString &value) {
    const QStringList fields = value.split(u':');
    if (value.isEmpty() || fields.size() > 3) {
        return std::nullopt;
    }
    double seconds = 0;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString &field = fields[i];
        const bool last = i + 1 == fields.size();
        // Digits only, and one decimal point in the seconds: no signs, exponents or spaces.
        qsizetype points = 0;
        for (QChar c : field) {
            points += c == u'.' ? 1 : 0;
            if (!isAsciiDigit(c) && !(last && c == u'.')) {
                return std::nullopt;
            }
        }
        bool ok = false;
        const double part = last ? field.toDouble(&ok) : double(field.toUInt(&ok));
        if (!ok || points > 1 || field.isEmpty() || !isAsciiDigit(field[0])) {
            return std::nullopt;
        }
        seconds = seconds * 60 + part;
    }
    // Past a year of media is not a real clip time.
    constexpr double kLongestSeconds = 366.0 * 24 * 3600;
    if (seconds > kLongestSeconds) {
        return std::nullopt;
    }
    return std::round(seconds * 1e7);
}

std::optional<uint32_t> parseNumber(const QString &value) {
    bool ok = false;
    const uint number = value.toUInt(&ok);
    return ok ? std::optional<uint32_t>(number) : std::nullopt;
}

// COUNT of a REPEAT: missing means "for ever"; a value too large for the player's counter also
// counts as for ever; garbage or 0 plays the block once.
uint32_t parseRepeatCount(const CTag &reader) {
    if (!hasAttribute(reader, u"count")) {
        return CPlaylistRepeat::kIndefinite;
    }
    const QString value = attribute(reader, u"count");
    bool ok = false;
    const qulonglong count = value.toULongLong(&ok);
    if (!ok || count == 0) {
        return 1;
    }
    return count >= CPlaylistRepeat::kIndefinite ? CPlaylistRepeat::kIndefinite : uint32_t(count);
}

// Clip settings that an ENTRY gives for all its REFs and a REF may give for itself.
struct CClipSettings {
    std::optional<double> start;
    std::optional<double> duration;
    std::optional<double> scanDuration;
    std::optional<uint32_t> startMarker;
    std::optional<uint32_t> endMarker;
    std::optional<QString> startMarkerName;
    std::optional<QString> endMarkerName;
};

struct CRefDraft {
    QString href;
    CClipSettings settings;
};

struct CEntryDraft {
    uint32_t flags = CMetafileEntry::CanSkip;
    QString linkUrl;
    QString base;
    CClipSettings settings;
    std::vector<CRefDraft> refs;
};

template <typename T>
T pick(const std::optional<T> &own, const std::optional<T> &inherited) {
    return own.value_or(inherited.value_or(T{}));
}

// A nested list (ENTRYREF) and where its entries go.
struct CNestedList {
    QString address;
    size_t at = 0;               // before the entry with this index
    bool inRepeatBlock = false;  // they join the repeated block
};

class CAsxParser {
public:
    // forgiving: the document is not well-formed XML and is read the way a forgiving HTML-like
    // reader would: a REF or ENTRY left open closes at the next one or at its parent's end.
    CAsxParser(const QString &baseDir, bool forgiving)
        : m_listBase(baseDir), m_forgiving(forgiving) {}

    void startElement(const CTag &tag);
    void endElement(QStringView name);
    void finishDocument();

    std::vector<CMetafileEntry> takeEntries() { return std::move(m_entries); }
    CPlaylistRepeat repeat() const { return m_repeat; }
    const std::vector<CNestedList> &nestedLists() const { return m_nested; }
    QString listBase() const { return m_asxBase.isEmpty() ? m_listBase : m_asxBase; }

private:
    void applyMarker(const CTag &reader, bool start);
    CClipSettings *openSettings();
    void finishEntry();

    QString m_listBase;
    bool m_forgiving;
    QString m_asxBase;
    std::vector<CMetafileEntry> m_entries;
    std::vector<CNestedList> m_nested;
    CPlaylistRepeat m_repeat;
    std::optional<CEntryDraft> m_entry;
    bool m_inRef = false;
    int m_repeatDepth = 0;
    bool m_repeatSeen = false;
    bool m_repeatOpen = false;
};

CClipSettings *CAsxParser::openSettings() {
    if (!m_entry) {
        return nullptr;
    }
    if (m_inRef && !m_entry->refs.empty()) {
        return &m_entry->refs.back().settings;
    }
    return &m_entry->settings;
}

void CAsxParser::applyMarker(const CTag &reader, bool start) {
    CClipSettings *settings = openSettings();
    if (settings == nullptr) {
        return;
    }
    if (const auto number = parseNumber(attribute(reader, u"number"))) {
        (start ? settings->startMarker : settings->endMarker) = number;
    }
    if (hasAttribute(reader, u"name")) {
        (start ? settings->startMarkerName : settings->endMarkerName) = attribute(reader, u"name");
    }
}

void CAsxParser::startElement(const CTag &reader) {
    const QStringView name = reader.name;
    if (m_forgiving && m_entry && (name == u"entry" || name == u"ref")) {
        // What is left open closes where the next of its kind begins.
        m_inRef = false;
        if (name == u"entry") {
            finishEntry();
        }
    }
    if (name == u"entryref") {
        if (!m_entry && m_nested.size() < kMaxMetafileItems) {
            m_nested.push_back({attribute(reader, u"href"), m_entries.size(), m_repeatOpen});
        }
    } else if (name == u"entry") {
        if (!m_entry) {
            m_entry.emplace();
            if (attribute(reader, u"clientskip").compare(u"no", Qt::CaseInsensitive) == 0) {
                m_entry->flags &= ~uint32_t(CMetafileEntry::CanSkip);
            }
        }
    } else if (name == u"ref") {
        if (m_entry && !m_inRef) {
            m_inRef = true;
            if (m_entry->refs.size() < kMaxMetafileSourcesPerItem) {
                m_entry->refs.push_back(CRefDraft{attribute(reader, u"href"), {}});
            }
        }
    } else if (name == u"repeat") {
        if (m_repeatDepth == 0 && !m_repeatSeen) {
            m_repeatSeen = true;
            m_repeatOpen = true;
            m_repeat.count = parseRepeatCount(reader);
            m_repeat.startItem = uint32_t(m_entries.size());
        }
        ++m_repeatDepth;
    } else if (name == u"base") {
        const QString href = attribute(reader, u"href");
        (m_entry ? m_entry->base : m_asxBase) = href;
    } else if (name == u"moreinfo") {
        if (m_entry && m_entry->linkUrl.isEmpty()) {
            m_entry->linkUrl = attribute(reader, u"href");
        }
    } else if (name == u"starttime" || name == u"duration" || name == u"previewduration") {
        if (CClipSettings *settings = openSettings()) {
            const auto value = parseClock(attribute(reader, u"value"));
            if (value) {
                (name == u"starttime"  ? settings->start
                 : name == u"duration" ? settings->duration
                                       : settings->scanDuration) = value;
            }
        }
    } else if (name == u"startmarker" || name == u"endmarker") {
        applyMarker(reader, name == u"startmarker");
    }
}

void CAsxParser::finishEntry() {
    CEntryDraft draft = std::move(*m_entry);
    m_entry.reset();
    if (m_entries.size() >= kMaxMetafileItems) {
        return;
    }
    const QString base = !draft.base.isEmpty()  ? draft.base
                         : !m_asxBase.isEmpty() ? m_asxBase
                                                : m_listBase;
    CMetafileEntry entry;
    entry.flags = draft.flags;
    entry.linkUrl = draft.linkUrl;
    for (const CRefDraft &ref : draft.refs) {
        if (ref.href.isEmpty()) {
            continue;
        }
        const CClipSettings &own = ref.settings;
        const CClipSettings &inherited = draft.settings;
        CPlaylistSource source;
        source.url = resolveMetafileAddress(ref.href, base);
        source.start = pick(own.start, inherited.start);
        source.duration = pick(own.duration, inherited.duration);
        source.scanDuration = pick(own.scanDuration, inherited.scanDuration);
        source.startMarker = pick(own.startMarker, inherited.startMarker);
        source.endMarker = pick(own.endMarker, inherited.endMarker);
        source.startMarkerName = pick(own.startMarkerName, inherited.startMarkerName);
        source.endMarkerName = pick(own.endMarkerName, inherited.endMarkerName);
        entry.sources.push_back(std::move(source));
    }
    // An ENTRY without a usable REF plays nothing and is left out of the list.
    if (!entry.sources.empty()) {
        m_entries.push_back(std::move(entry));
    }
}

void CAsxParser::endElement(QStringView name) {
    if (m_forgiving && name == u"entry") {
        m_inRef = false;
    }
    if (name == u"entry" && m_entry && !m_inRef) {
        finishEntry();
    } else if (name == u"ref") {
        m_inRef = false;
    } else if (name == u"repeat" && m_repeatDepth > 0) {
        --m_repeatDepth;
        if (m_repeatDepth == 0 && m_repeatOpen) {
            m_repeatOpen = false;
            m_repeat.endItem = uint32_t(m_entries.size());
        }
    }
}

void CAsxParser::finishDocument() {
    if (m_forgiving && m_entry) {
        m_inRef = false;
        finishEntry();
    }
    if (m_forgiving && m_repeatOpen) {
        m_repeatOpen = false;
        m_repeat.endItem = uint32_t(m_entries.size());
    }
}

// The result of reading a document's markup.
enum class EMarkup { kRead, kNotAsx, kMalformed };

// Reads well-formed XML (entity declarations included) into the parser.
EMarkup readWellFormed(const QString &text, CAsxParser &parser, QString &error) {
    QXmlStreamReader reader(normaliseMarkup(text));
    bool rootSeen = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (!rootSeen) {
                if (reader.name() != u"asx") {
                    error = QStringLiteral("not an ASX document");
                    return EMarkup::kNotAsx;
                }
                rootSeen = true;
                continue;
            }
            parser.startElement(tagOf(reader));
        } else if (token == QXmlStreamReader::EndElement) {
            parser.endElement(reader.name());
        }
    }
    if (reader.hasError()) {
        error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return EMarkup::kMalformed;
    }
    return EMarkup::kRead;
}

// Lists published by hand are often not well-formed: an unclosed REF, a missing closing quote,
// an unquoted value. CForgivingScanner reads their tags the way a forgiving HTML-like reader
// would. It does not read entity declarations: a document that declares entities has to be
// well-formed, and an unknown or invalid reference refuses the document.
class CForgivingScanner {
public:
    explicit CForgivingScanner(const QString &text) : m_text(text) {}

    EMarkup read(CAsxParser &parser, QString &error);

private:
    bool readTag(CAsxParser &parser, bool &rootSeen, QString &error);
    QString readName();
    bool readValue(QString &value, bool &selfClosing);
    void skipSpace();
    void skipPast(QStringView end);

    const QString &m_text;
    qsizetype m_at = 0;
};

// The value with its character and entity references replaced; false for a reference that is
// unknown or names no character.
bool decodeReferences(const QString &raw, QString &value) {
    value.clear();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != u'&' || !startsReference(raw, i)) {
            value += raw[i];
            continue;
        }
        const qsizetype end = raw.indexOf(u';', i);
        const QStringView name = QStringView(raw).mid(i + 1, end - i - 1);
        static const std::pair<QStringView, QChar> kPredefined[] = {
            {u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''}};
        bool known = false;
        for (const auto &[entity, character] : kPredefined) {
            if (name == entity) {
                value += character;
                known = true;
            }
        }
        if (!known && name.startsWith(u'#')) {
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            bool ok = false;
            const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                return false;
            }
            value += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
            known = true;
        }
        if (!known) {
            return false;
        }
        i = end;
    }
    return true;
}

void CForgivingScanner::skipSpace() {
    while (m_at < m_text.size() && m_text[m_at].isSpace()) {
        ++m_at;
    }
}

void CForgivingScanner::skipPast(QStringView end) {
    const qsizetype found = m_text.indexOf(end, m_at);
    m_at = found < 0 ? m_text.size() : found + end.size();
}

QString CForgivingScanner::readName() {
    QString name;
    while (m_at < m_text.size() && isNameChar(m_text[m_at])) {
        name += m_text[m_at++].toLower();
    }
    return name;
}

bool CForgivingScanner::readValue(QString &value, bool &selfClosing) {
    QString raw;
    const QChar quote = m_text[m_at];
    if (quote == u'"' || quote == u'\'') {
        const qsizetype close = m_text.indexOf(quote, m_at + 1);
        const qsizetype lineEnd = m_text.indexOf(u'\n', m_at + 1);
        if (close >= 0 && (lineEnd < 0 || close < lineEnd)) {
            raw = m_text.mid(m_at + 1, close - m_at - 1);
            m_at = close + 1;
        } else {
            // The closing quote is missing: the value ends with its tag.
            qsizetype end = m_text.indexOf(u'>', m_at + 1);
            end = end < 0 ? m_text.size() : end;
            raw = m_text.mid(m_at + 1, end - m_at - 1).trimmed();
            if (raw.endsWith(u'/')) {
                raw.chop(1);
                selfClosing = true;
            }
            m_at = end;
        }
    } else {
        while (m_at < m_text.size() && !m_text[m_at].isSpace() && m_text[m_at] != u'>') {
            raw += m_text[m_at++];
        }
        if (raw.endsWith(u'/') && m_at < m_text.size() && m_text[m_at] == u'>') {
            raw.chop(1);
            selfClosing = true;
        }
    }
    return decodeReferences(raw, value);
}

bool CForgivingScanner::readTag(CAsxParser &parser, bool &rootSeen, QString &error) {
    CTag tag{readName(), {}};
    bool selfClosing = false;
    for (;;) {
        skipSpace();
        if (m_at >= m_text.size() || m_text[m_at] == u'>') {
            ++m_at;
            break;
        }
        if (m_text[m_at] == u'/') {
            ++m_at;
            selfClosing = true;
            continue;
        }
        QString name;
        while (m_at < m_text.size() && !m_text[m_at].isSpace() && m_text[m_at] != u'=' &&
               m_text[m_at] != u'>' && m_text[m_at] != u'/') {
            name += m_text[m_at++];
        }
        if (name.isEmpty()) {
            ++m_at;  // a stray character inside the tag
            continue;
        }
        skipSpace();
        QString value;
        if (m_at < m_text.size() && m_text[m_at] == u'=') {
            ++m_at;
            skipSpace();
            if (m_at < m_text.size() && !readValue(value, selfClosing)) {
                error = QStringLiteral("unknown or invalid reference in <%1>").arg(tag.name);
                return false;
            }
        }
        tag.attributes.emplace_back(name, value);
    }
    if (!rootSeen) {
        if (tag.name != u"asx") {
            error = QStringLiteral("not an ASX document");
            return false;
        }
        rootSeen = true;
        return true;
    }
    parser.startElement(tag);
    if (selfClosing) {
        parser.endElement(tag.name);
    }
    return true;
}

EMarkup CForgivingScanner::read(CAsxParser &parser, QString &error) {
    bool rootSeen = false;
    while (m_at < m_text.size()) {
        const qsizetype open = m_text.indexOf(u'<', m_at);
        if (open < 0) {
            break;
        }
        m_at = open + 1;
        if (QStringView(m_text).mid(m_at, 3) == u"!--") {
            skipPast(u"-->");
        } else if (m_at < m_text.size() && (m_text[m_at] == u'!' || m_text[m_at] == u'?')) {
            skipPast(u">");
        } else if (m_at < m_text.size() && m_text[m_at] == u'/') {
            ++m_at;
            const QString name = readName();
            skipPast(u">");
            if (rootSeen && !name.isEmpty()) {
                parser.endElement(name);
            }
        } else if (m_at < m_text.size() && isAsciiLetter(m_text[m_at])) {
            if (!readTag(parser, rootSeen, error)) {
                return rootSeen ? EMarkup::kMalformed : EMarkup::kNotAsx;
            }
        }
    }
    if (!rootSeen) {
        error = QStringLiteral("not an ASX document");
        return EMarkup::kNotAsx;
    }
    parser.finishDocument();
    return EMarkup::kRead;
}

}  // namespace

namespace {

// How deep lists may nest through ENTRYREF.
constexpr int kMaxNesting = 8;

bool readAsx(const QByteArray &bytes, const QString &baseDir, int depth, QStringList &visited,
             std::vector<CMetafileEntry> &entries, CPlaylistRepeat &repeat, QString &error);

// The entries of a nested list: a local list is read (ASX or M3U, at most kMaxNesting deep, each
// file once); a network list is left to the player, which opens its address like any other.
std::vector<CMetafileEntry> nestedEntries(const CNestedList &nested, const QString &base, int depth,
                                          QStringList &visited) {
    if (nested.address.isEmpty() || depth >= kMaxNesting) {
        return {};
    }
    const QString address = resolveMetafileAddress(nested.address, base);
    const QUrl url(address);
    // No scheme, or a drive letter: a path.
    if (!url.isLocalFile() && url.scheme().size() > 1) {
        CPlaylistSource source;
        source.url = address;
        CMetafileEntry entry;
        entry.sources.push_back(std::move(source));
        return {entry};
    }
    const QString path = url.isLocalFile() ? url.toLocalFile() : address;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    QFile file(canonical);
    if (canonical.isEmpty() || visited.contains(canonical) || file.size() > kMaxMetafileBytes ||
        !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    visited.append(canonical);
    const QByteArray bytes = file.read(kMaxMetafileBytes);
    const QString folder = QFileInfo(canonical).absolutePath();
    std::vector<CMetafileEntry> entries;
    CPlaylistRepeat ignored;
    QString error;
    switch (sniffMetafile(bytes.left(4096), QFileInfo(canonical).suffix())) {
        case EMetafileKind::Asx:
            readAsx(bytes, folder, depth + 1, visited, entries, ignored, error);
            break;
        case EMetafileKind::M3u: {
            CMetafilePlaylist list;
            if (parseM3uPlaylist(bytes, folder, list, &error)) {
                entries = list.items();
            }
            break;
        }
        case EMetafileKind::None:
            break;
    }
    return entries;
}

// Puts the nested lists' entries in their places (the last first, so that the places of the
// earlier ones stay right) and moves the repeated block with them.
void spliceNestedLists(const CAsxParser &parser, int depth, QStringList &visited,
                       std::vector<CMetafileEntry> &entries, CPlaylistRepeat &repeat) {
    const std::vector<CNestedList> &nested = parser.nestedLists();
    for (auto it = nested.rbegin(); it != nested.rend(); ++it) {
        std::vector<CMetafileEntry> inner = nestedEntries(*it, parser.listBase(), depth, visited);
        const size_t room =
            kMaxMetafileItems > entries.size() ? kMaxMetafileItems - entries.size() : 0;
        const auto count = static_cast<uint32_t>(std::min(inner.size(), room));
        if (count == 0) {
            continue;
        }
        entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(it->at),
                       std::make_move_iterator(inner.begin()),
                       std::make_move_iterator(inner.begin() + count));
        if (repeat.count == 0) {
            continue;
        }
        if (it->at < repeat.startItem || (it->at == repeat.startItem && !it->inRepeatBlock)) {
            repeat.startItem += count;
            repeat.endItem += count;
        } else if (it->at < repeat.endItem || it->inRepeatBlock) {
            repeat.endItem += count;
        }
    }
}

bool readAsx(const QByteArray &bytes, const QString &baseDir, int depth, QStringList &visited,
             std::vector<CMetafileEntry> &entries, CPlaylistRepeat &repeat, QString &error) {
    const QString text = decodeMetafileText(bytes);
    std::optional<CAsxParser> parser(std::in_place, baseDir, false);
    EMarkup read = readWellFormed(text, *parser, error);
    // A list that declares entities has to be well-formed; any other is read forgivingly.
    if (read == EMarkup::kMalformed && !text.contains(u"<!doctype", Qt::CaseInsensitive)) {
        parser.emplace(baseDir, true);
        read = CForgivingScanner(text).read(*parser, error);
    }
    if (read != EMarkup::kRead) {
        return false;
    }
    entries = parser->takeEntries();
    repeat = parser->repeat();
    spliceNestedLists(*parser, depth, visited, entries, repeat);
    return true;
}

}  // namespace

bool parseAsxPlaylist(const QByteArray &bytes, const QString &baseDir, CMetafilePlaylist &playlist,
                      QString *error, const QString &listPath) {
    std::vector<CMetafileEntry> entries;
    CPlaylistRepeat repeat;
    QString reason;
    QStringList visited;
    if (!listPath.isEmpty()) {
        visited.append(listPath);
    }
    if (!readAsx(bytes, baseDir, 0, visited, entries, repeat, reason)) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    }
    if (entries.empty()) {
        if (error != nullptr) {
            *error = QStringLiteral("playlist has no playable entry");
        }
        return false;
    }
    playlist = CMetafilePlaylist(std::move(entries), repeat);
    return true;
}
