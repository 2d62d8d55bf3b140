#include "player/shell/sharedtextblock.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>

CSharedTextBlock::CSharedTextBlock(const QString &name) : m_memory(keyFor(name)) {}

QString CSharedTextBlock::keyFor(const QString &name) {
    // The user's runtime folder stands for the session: a player and its second start share it,
    // as they share the socket that lies in it.
    const QByteArray session =
        QCryptographicHash::hash(
            QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toUtf8(),
            QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return name + u'-' + QString::number(::getuid()) + u'-' + QString::fromLatin1(session);
}

int CSharedTextBlock::write(const QByteArray &text) {
    if (!m_memory.isAttached() && !m_memory.create(kSize) &&
        !(m_memory.error() == QSharedMemory::AlreadyExists && m_memory.attach())) {
        return 0;
    }
    if (m_memory.size() < kSize) {
        return 0;
    }
    qsizetype length = std::min<qsizetype>(text.size(), kSize - 1);
    // A text cut short ends before a whole UTF-8 character, never inside one.
    while (length > 0 && length < text.size() && (uchar(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    m_memory.lock();
    auto *block = static_cast<char *>(m_memory.data());
    std::memcpy(block, text.constData(), size_t(length));
    std::memset(block + length, 0, size_t(kSize - length));
    m_memory.unlock();
    return 1;
}

QByteArray CSharedTextBlock::read() {
    // Attached for writing too: the same block may be written afterwards (the reply block is
    // read for one request and written for the others).
    if (!m_memory.isAttached() && !m_memory.attach()) {
        return {};
    }
    if (m_memory.size() < kSize) {
        return {};
    }
    m_memory.lock();
    const auto *block = static_cast<const char *>(m_memory.constData());
    const QByteArray text(block, qsizetype(::strnlen(block, kSize - 1)));
    m_memory.unlock();
    return text;
}
