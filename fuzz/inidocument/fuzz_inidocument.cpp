#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "uisupport/inidocument.h"

// Any bytes load and save unchanged, and an edit is read back from the saved text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    CIniDocument document = CIniDocument::parse(text);
    if (document.serialize() != text) {
        std::abort();
    }
    if (document.setValue(QStringLiteral("Default Applications"), QStringLiteral("KIVOP.bak"),
                          QStringLiteral("kivop.desktop"))) {
        const CIniDocument reread = CIniDocument::parse(document.serialize());
        if (reread.value(QStringLiteral("Default Applications"), QStringLiteral("KIVOP.bak")) !=
            QStringLiteral("kivop.desktop")) {
            std::abort();
        }
    }
    return 0;
}
