#pragma once

#include <functional>
#include <string>

#include "platform/processsink.h"

// User-facing texts raised by code that owns no window (image writers, weight loaders, ...).
// The core calls showMessage(); each program installs a sink that turns the text into a message
// box of the window in front. Without a sink the text goes to standard error.
namespace kivo {

using MessageSink = std::function<void(const std::string &text)>;

// Installs the sink for the whole process and returns the previous one.
MessageSink setMessageSink(MessageSink sink);

void showMessage(const std::string &text);

// Captures the texts for the life of the object (tests).
using ScopedMessageSink = CScopedSink<MessageSink, &setMessageSink>;

}  // namespace kivo
