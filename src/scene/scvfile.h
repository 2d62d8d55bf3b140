#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CVideoDescription;

// The scene-description file (.scv): a fixed little-endian sequence of fields, counts and
// nested records behind a 32-byte header "Video Description Ver. 2.02".

enum class ScvReadResult {
    Ok,
    OldVersion,  // header version below 2.00: nothing read, the document stays empty
    ReadError,   // truncated or corrupt: the document must be discarded
};

constexpr int kScvWriteVersion = 202;
constexpr size_t kScvHeaderSize = 32;
// Deeper trees are refused as corrupt rather than risking the stack.
constexpr int kScvMaxTreeDepth = 1024;

// Shown by the window that opened an old file.
inline constexpr const char *kScvOldVersionMessage =
    "죄송합니다. 이전 버전의 SCV 파일입니다.\n"
    "좀더 낳은 SCV파일을 제공하기 위해 부득이 SCV파일 구조를 수정하였습니다.\n";
// Shown by the window that opened a damaged file.
inline constexpr const char *kScvReadErrorMessage =
    "SCV 파일을 읽는 도중에 실패했습니다.\nSCV 파일이 손상됐거나 오래된 버전일 수 있습니다.";

// Version from the header digits (100 x c23 + 10 x c25 + c26), or -1 when they are not digits.
int scvHeaderVersion(std::span<const uint8_t> header);

// Reads a whole file image into an empty document. `version` receives the header version.
ScvReadResult readScv(std::span<const uint8_t> bytes, CVideoDescription &document,
                      int *version = nullptr);
ScvReadResult loadScv(const std::string &path, CVideoDescription &document, int *version = nullptr);

std::vector<uint8_t> writeScv(const CVideoDescription &document);
// Writes atomically (temporary file beside, then rename): 1 on success, 0 on failure, also for
// a tree deeper than the reader accepts.
int saveScv(const CVideoDescription &document, const std::string &path);
