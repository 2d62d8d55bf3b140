#include "platform/messages.h"

#include <cstdio>
#include <utility>

namespace kivo {
namespace {

CProcessSink<MessageSink> &messageSink() {
    static CProcessSink<MessageSink> sink;
    return sink;
}

}  // namespace

MessageSink setMessageSink(MessageSink sink) {
    return messageSink().exchange(std::move(sink));
}

void showMessage(const std::string &text) {
    if (const MessageSink sink = messageSink().current()) {
        sink(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

}  // namespace kivo
