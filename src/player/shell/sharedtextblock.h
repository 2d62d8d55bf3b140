#pragma once

#include <QByteArray>
#include <QSharedMemory>
#include <QString>

// A named block of 1024 bytes shared between the player's processes of one user, holding one
// zero-terminated text: the hand-off block "KIVODATA" (a second start's command line) and the
// reply block "KIVOBTCDATA" (the text answer of a remote-control request). A writer keeps the
// block attached for its own life, so that the block outlives the call until the reader has it.
class CSharedTextBlock {
public:
    static constexpr int kSize = 1024;

    // name: "KIVODATA" or "KIVOBTCDATA"; the key is made per user.
    explicit CSharedTextBlock(const QString &name);

    // Writes at most 1023 bytes of text and the terminator; 1 when written, 0 when the block
    // cannot be made or attached.
    int write(const QByteArray &text);
    // The text up to its terminator (at most 1023 bytes); empty when the block does not exist.
    QByteArray read();

    // The key of a block for the current user's session (tests use names of their own).
    static QString keyFor(const QString &name);

private:
    QSharedMemory m_memory;
};
