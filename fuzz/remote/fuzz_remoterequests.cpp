// What other programs send the player and what a client reads back: any bytes, cut into the
// socket's 8-byte frames, decode to a request or to nothing (reserved and unknown numbers),
// times format to their fixed shape, the client's decoder takes any bytes in any pieces and
// what it completes encodes back to the same bytes, and command lines parse or are refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <QStringList>
#include <QtEndian>

#include "player/remote/kivoctlcommands.h"
#include "player/remote/remoterequests.h"
#include "player/shell/instancelink.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace kivo::remote;
    for (size_t offset = 0; offset + 8 <= size; offset += 8) {
        const auto code = qFromLittleEndian<uint32_t>(data + offset);
        const std::optional<ERequest> request = decodeRequest(code);
        check(!request || (code >= kFirstCode && code <= kLastCode && !isReservedCode(code)));
        check(request || isReservedCode(code) || code < kFirstCode || code > kLastCode);
        double position = 0;
        std::memcpy(&position, data + offset, sizeof position);
        const QString time = formatReferenceTime(position);
        check(time.size() >= 12 && time[time.size() - 4] == u'.');
    }

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    kivo::shell::CTextReplyDecoder decoder;
    const qsizetype cut = size > 0 ? qsizetype(data[0]) % (bytes.size() + 1) : 0;
    decoder.feed(bytes.left(cut));
    const auto state = decoder.feed(bytes.mid(cut));
    if (state == kivo::shell::CTextReplyDecoder::EState::Complete) {
        check(kivo::shell::encodeTextReply(decoder.reply()) == bytes);
    }

    QString error;
    const QStringList words = QString::fromUtf8(bytes).split(u' ');
    const std::optional<CCtlCommand> command = parseCtlCommand(words, error);
    check(command.has_value() || !error.isEmpty());
    return 0;
}
