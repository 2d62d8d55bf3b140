#pragma once

#include <functional>
#include <string>

// User-facing texts raised by code that owns no window (image writers, weight loaders, ...).
// The core calls showMessage(); each program installs a sink that turns the text into a message
// box of the window in front. Without a sink the text goes to standard error.
namespace kivo {

using MessageSink = std::function<void(const std::string &text)>;

// Installs the sink for the whole process and returns the previous one.
MessageSink setMessageSink(MessageSink sink);

void showMessage(const std::string &text);

// Installs a sink for the life of the object and restores the previous one afterwards;
// tests use it to capture the texts.
class ScopedMessageSink {
public:
    explicit ScopedMessageSink(MessageSink sink) : m_previous(setMessageSink(std::move(sink))) {}
    ~ScopedMessageSink() { setMessageSink(std::move(m_previous)); }
    ScopedMessageSink(const ScopedMessageSink &) = delete;
    ScopedMessageSink &operator=(const ScopedMessageSink &) = delete;

private:
    MessageSink m_previous;
};

}  // namespace kivo
