#include "player/captions/samiwriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/atomicfile.h"
#include "platform/cp949.h"

namespace kivo::captions {
namespace {

constexpr const char *kHeaderLines[] = {
    "<SAMI>",
    "<HEAD>",
    "<Title>KIVO Player 자막 -> SMI</Title>",
    "<STYLE TYPE=\"text/css\">",
    "<!--",
    "P {margin-left:8pt; margin-right:8pt; margin-bottom:2pt; margin-top:2pt;",
    "text-align:center; font-size:10pt; font-family:arial, sans-serif;",
    "font-weight:normal; color:white;}",
    ".KRCC {Name:Korean; lang:kr-KR; SAMIType:CC; }",
    "#STDPrn {Name:Standard Print;}",
    "#LargePrn {Name:Large Print; font-size:20pt;}",
    "#SmallPrn {Name:Small Print; font-size:10pt;}",
    "-->",
    "</Style>",
    "</HEAD>",
    "<BODY>",
};
constexpr const char *kLineEnd = "\r\n";
constexpr const char *kUtf8Mark = "\xEF\xBB\xBF";

// The document in three parts, so that a failed write can say which part it was.
struct CSamiParts {
    std::string header;
    std::string captions;
    std::string trailer;
};

// Whole milliseconds of a time in 100-ns units; times beyond what 64 bits hold (and NaN) are
// clamped rather than converted into undefined values.
long long wholeMilliseconds(double time) {
    constexpr double kLimit = 9.2e18;
    const double millis = std::trunc(time / 10'000.0);
    return std::isnan(millis) ? 0 : static_cast<long long>(std::clamp(millis, -kLimit, kLimit));
}

CSamiParts buildParts(std::span<const CCaptionEntry> captions) {
    bool narrow = true;
    std::vector<std::string> texts;
    texts.reserve(captions.size());
    for (const CCaptionEntry &caption : captions) {
        std::optional<std::string> bytes = kivo::utf8ToCp949(caption.text);
        narrow = narrow && bytes.has_value();
        texts.push_back(bytes ? std::move(*bytes) : std::string());
    }
    const auto encode = [narrow](const std::string &utf8) {
        return narrow ? kivo::utf8ToCp949(utf8).value_or(std::string()) : utf8;
    };

    CSamiParts parts;
    if (!narrow) {
        parts.header = kUtf8Mark;
    }
    for (const char *line : kHeaderLines) {
        parts.header += encode(line) + kLineEnd;
    }
    for (size_t i = 0; i < captions.size(); ++i) {
        char sync[64];
        std::snprintf(sync, sizeof sync, "<SYNC Start=%lld><P Class=KRCC>",
                      wholeMilliseconds(captions[i].time));
        parts.captions += sync;
        parts.captions += kLineEnd;
        parts.captions += narrow ? texts[i] : captions[i].text;
        parts.captions += kLineEnd;
        parts.captions += kLineEnd;
    }
    parts.trailer = std::string("</BODY>") + kLineEnd + "</SAMI>" + kLineEnd;
    return parts;
}

bool writeAll(FILE *file, const std::string &bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

CSamiWriteResult failed(SamiWriteStatus status) {
    return {status, errno};
}

}  // namespace

std::vector<uint8_t> samiBytes(std::span<const CCaptionEntry> captions) {
    const CSamiParts parts = buildParts(captions);
    std::vector<uint8_t> bytes;
    bytes.reserve(parts.header.size() + parts.captions.size() + parts.trailer.size());
    for (const std::string *part : {&parts.header, &parts.captions, &parts.trailer}) {
        bytes.insert(bytes.end(), part->begin(), part->end());
    }
    return bytes;
}

CSamiWriteResult saveSamiFile(const std::string &path, std::span<const CCaptionEntry> captions) {
    const CSamiParts parts = buildParts(captions);
    kivo::CReplacingFile file(path);
    errno = 0;
    FILE *out = file.open();
    if (!out) {
        return failed(SamiWriteStatus::CannotCreate);
    }
    if (!writeAll(out, parts.header)) {
        return failed(SamiWriteStatus::HeaderFailed);
    }
    if (!writeAll(out, parts.captions)) {
        return failed(SamiWriteStatus::CaptionFailed);
    }
    if (!writeAll(out, parts.trailer) || !file.commit()) {
        return failed(SamiWriteStatus::TrailerFailed);
    }
    return {};
}

std::string samiWriteMessage(const CSamiWriteResult &result) {
    switch (result.status) {
        case SamiWriteStatus::Saved:
            return "정상적으로 저장되었습니다.";
        case SamiWriteStatus::CannotCreate:
            return std::string("Error!! :") + std::strerror(result.error);
        case SamiWriteStatus::HeaderFailed:
            return "헤더부분을 쓰다 실패했습니다.";
        case SamiWriteStatus::CaptionFailed:
            return "캡션부분을 쓰다 실패했습니다.";
        case SamiWriteStatus::TrailerFailed:
            break;
    }
    return "마지막 부분을 쓰다 실패했습니다.";
}

}  // namespace kivo::captions
