#include "platform/messages.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace kivo {
namespace {

std::mutex &sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

MessageSink &currentSink() {
    static MessageSink sink;
    return sink;
}

}  // namespace

MessageSink setMessageSink(MessageSink sink) {
    std::lock_guard lock(sinkMutex());
    return std::exchange(currentSink(), std::move(sink));
}

void showMessage(const std::string &text) {
    MessageSink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    if (sink) {
        sink(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

}  // namespace kivo
