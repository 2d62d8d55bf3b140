#include "player/captions/samireader.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_set>

#include "platform/atomicfile.h"
#include "player/captions/samidecoding.h"

namespace kivo::captions {
namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where `word` (upper case) occurs in `text` in any case, or npos.
size_t findNoCase(std::string_view text, std::string_view word, size_t from = 0) {
    if (word.size() > text.size()) {
        return std::string_view::npos;
    }
    for (size_t i = from; i + word.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < word.size() && upper(text[i + k]) == word[k]) {
            ++k;
        }
        if (k == word.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

// The class a P tag names ("P Class=KRCC", "p class = 'encc'"), upper-cased; empty for any other
// tag or a P tag without a class.
std::string paragraphClass(std::string_view tag) {
    size_t i = 0;
    while (i < tag.size() && isSpace(tag[i])) {
        ++i;
    }
    if (i >= tag.size() || upper(tag[i]) != 'P' || (i + 1 < tag.size() && !isSpace(tag[i + 1]))) {
        return {};
    }
    i = findNoCase(tag, "CLASS", i + 1);
    if (i == std::string_view::npos) {
        return {};
    }
    i += 5;
    while (i < tag.size() &&
           (isSpace(tag[i]) || tag[i] == '=' || tag[i] == '"' || tag[i] == '\'')) {
        ++i;
    }
    std::string name;
    while (i < tag.size() && !isSpace(tag[i]) && tag[i] != '"' && tag[i] != '\'' && tag[i] != '/') {
        name += upper(tag[i++]);
    }
    return name;
}

struct CSyncTag {
    size_t offset;      // of its "<" in the scanned text
    std::string klass;  // of the first P tag after it
};

struct CScannedText {
    std::string text;
    std::vector<CSyncTag> syncs;
};

// Every tag that does not contain "SYNC" becomes one space; SYNC tags stay as written. A "<"
// without a later ">" ends the scan, the rest staying as it is.
CScannedText keepSyncTags(std::string_view source) {
    CScannedText scanned;
    scanned.text.reserve(source.size());
    size_t pos = 0;
    while (pos < source.size()) {
        const size_t open = source.find('<', pos);
        const size_t close = open == std::string_view::npos ? open : source.find('>', open + 1);
        if (close == std::string_view::npos) {
            scanned.text.append(source.substr(pos));
            break;
        }
        scanned.text.append(source.substr(pos, open - pos));
        const std::string_view tag = source.substr(open + 1, close - open - 1);
        if (findNoCase(tag, "SYNC") != std::string_view::npos) {
            scanned.syncs.push_back({scanned.text.size(), {}});
            scanned.text.append(source.substr(open, close - open + 1));
        } else {
            if (!scanned.syncs.empty() && scanned.syncs.back().klass.empty()) {
                scanned.syncs.back().klass = paragraphClass(tag);
            }
            scanned.text += ' ';
        }
        pos = close + 1;
    }
    return scanned;
}

// Whether a piece from "<" on opens with "SYNC" (any case, spaces before it ignored).
bool isSyncElement(std::string_view piece) {
    size_t i = 1;
    while (i < piece.size() && piece[i] == ' ') {
        ++i;
    }
    return findNoCase(piece.substr(i, 4), "SYNC") == 0;
}

// The number after "START=" in a head without spaces, upper-cased.
int32_t startTime(std::string_view head) {
    size_t i = head.find("START=");
    if (i == std::string_view::npos) {
        return 0;
    }
    i += 6;
    if (i < head.size() && (head[i] == '"' || head[i] == '\'')) {
        ++i;
    }
    bool negative = false;
    if (i < head.size() && (head[i] == '-' || head[i] == '+')) {
        negative = head[i++] == '-';
    }
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t value = 0;
    for (; i < head.size() && head[i] >= '0' && head[i] <= '9'; ++i) {
        value = std::min(value * 10 + (head[i] - '0'), kLimit);
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Empty, or only "&nbsp;" in any case, once spaces are ignored.
bool isBlankBody(std::string_view body) {
    constexpr std::string_view kEntity = "&NBSP;";
    size_t matched = 0;
    for (const char c : body) {
        if (c == ' ') {
            continue;
        }
        if (matched == kEntity.size() || upper(c) != kEntity[matched]) {
            return false;
        }
        ++matched;
    }
    return matched == 0 || matched == kEntity.size();
}

std::string captionText(std::string_view body) {
    if (isBlankBody(body)) {
        return {};
    }
    std::string text(body);
    size_t entity = text.find("&NBSP;");
    if (entity == std::string::npos) {
        entity = text.find("&nbsp;");
    }
    if (entity != std::string::npos) {
        text.erase(entity, 6);
    }
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n' || c == '\t'; });
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// One SYNC element, from its "<" up to the next: the start from the head (the text up to the
// first ">", without spaces, upper-cased), the text from the body after it.
CSamiEntry syncEntry(std::string_view piece) {
    const size_t close = piece.find('>');
    std::string head;
    for (const char c : piece.substr(1, close == std::string_view::npos ? close : close - 1)) {
        if (c != ' ') {
            head += upper(c);
        }
    }
    const std::string_view body =
        close == std::string_view::npos ? std::string_view() : piece.substr(close + 1);
    return {startTime(head), captionText(body)};
}

// Keeps one language of a document that has several (see the header). Linear in the entries,
// however many classes a hostile document names.
void keepOneLanguage(std::vector<CSamiEntry> &entries, const std::vector<std::string> &classes) {
    std::vector<const std::string *> order;
    std::unordered_set<std::string_view> named;
    std::unordered_set<std::string_view> withText;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (classes[i].empty()) {
            continue;
        }
        if (named.insert(classes[i]).second) {
            order.push_back(&classes[i]);
        }
        if (!entries[i].text.empty()) {
            withText.insert(classes[i]);
        }
    }
    if (order.size() < 2) {
        return;
    }
    const auto first = std::find_if(order.begin(), order.end(), [&](const std::string *klass) {
        return withText.count(*klass);
    });
    const std::string &chosen = first == order.end() ? *order.front() : **first;
    std::vector<CSamiEntry> kept;
    kept.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (classes[i].empty() || classes[i] == chosen) {
            kept.push_back(std::move(entries[i]));
        }
    }
    entries = std::move(kept);
}

}  // namespace

std::optional<std::vector<CSamiEntry>> readSami(std::span<const uint8_t> bytes) {
    std::string source = decodeSamiBytes(bytes);
    for (size_t i = source.find("\r\n"); i != std::string::npos; i = source.find("\r\n", i + 2)) {
        source[i] = ' ';
        source[i + 1] = ' ';
    }
    const CScannedText scanned = keepSyncTags(source);
    const std::string_view text = scanned.text;

    std::vector<CSamiEntry> entries;
    std::vector<std::string> classes;
    size_t nextSync = 0;
    for (size_t pos = text.find('<'); pos != std::string_view::npos;) {
        const size_t end = text.find('<', pos + 1);
        const std::string_view piece =
            text.substr(pos, end == std::string_view::npos ? end : end - pos);
        while (nextSync < scanned.syncs.size() && scanned.syncs[nextSync].offset < pos) {
            ++nextSync;
        }
        // Pieces that are not SYNC elements (the inside of an unclosed tag, a tag that only
        // mentions SYNC) are no captions.
        if (isSyncElement(piece)) {
            entries.push_back(syncEntry(piece));
            const bool tagged =
                nextSync < scanned.syncs.size() && scanned.syncs[nextSync].offset == pos;
            classes.push_back(tagged ? scanned.syncs[nextSync].klass : std::string());
        }
        pos = end;
    }
    if (entries.empty()) {
        return std::nullopt;
    }
    keepOneLanguage(entries, classes);
    return entries;
}

std::optional<std::vector<CSamiEntry>> loadSamiFile(const std::string &path) {
    const std::optional<std::vector<uint8_t>> bytes = kivo::readWholeFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    return readSami(*bytes);
}

}  // namespace kivo::captions
