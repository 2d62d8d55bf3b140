// The ASX/WAX/WVX half of the metafile reader.

#include "media/playback/metafilereader.h"

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

QString attribute(const QXmlStreamReader &reader, QStringView name) {
    for (const QXmlStreamAttribute &attr : reader.attributes()) {
        if (attr.name().compare(name, Qt::CaseInsensitive) == 0) {
            return attr.value().toString().trimmed();
        }
    }
    return {};
}

bool hasAttribute(const QXmlStreamReader &reader, QStringView name) {
    for (const QXmlStreamAttribute &attr : reader.attributes()) {
        if (attr.name().compare(name, Qt::CaseInsensitive) == 0) {
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
uint32_t parseRepeatCount(const QXmlStreamReader &reader) {
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

class CAsxParser {
public:
    explicit CAsxParser(const QString &baseDir) : m_listBase(baseDir) {}

    bool parse(const QString &text, QString &error);

    std::vector<CMetafileEntry> takeEntries() { return std::move(m_entries); }
    CPlaylistRepeat repeat() const { return m_repeat; }

private:
    void startElement(QXmlStreamReader &reader);
    void endElement(QStringView name);
    void applyMarker(QXmlStreamReader &reader, bool start);
    CClipSettings *openSettings();
    void finishEntry();

    QString m_listBase;
    QString m_asxBase;
    std::vector<CMetafileEntry> m_entries;
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

void CAsxParser::applyMarker(QXmlStreamReader &reader, bool start) {
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

void CAsxParser::startElement(QXmlStreamReader &reader) {
    const QStringView name = reader.name();
    if (name == u"entry") {
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

bool CAsxParser::parse(const QString &text, QString &error) {
    QXmlStreamReader reader(normaliseMarkup(text));
    bool rootSeen = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (!rootSeen) {
                if (reader.name() != u"asx") {
                    error = QStringLiteral("not an ASX document");
                    return false;
                }
                rootSeen = true;
                continue;
            }
            startElement(reader);
        } else if (token == QXmlStreamReader::EndElement) {
            endElement(reader.name());
        }
    }
    if (reader.hasError()) {
        error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return false;
    }
    return true;
}

}  // namespace

bool parseAsxPlaylist(const QByteArray &bytes, const QString &baseDir, CMetafilePlaylist &playlist,
                      QString *error) {
    CAsxParser parser(baseDir);
    QString reason;
    if (!parser.parse(decodeMetafileText(bytes), reason)) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    }
    CPlaylistRepeat repeat = parser.repeat();
    std::vector<CMetafileEntry> entries = parser.takeEntries();
    if (entries.empty()) {
        if (error != nullptr) {
            *error = QStringLiteral("playlist has no playable entry");
        }
        return false;
    }
    playlist = CMetafilePlaylist(std::move(entries), repeat);
    return true;
}
