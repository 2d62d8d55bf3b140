#pragma once

#include <mutex>
#include <utility>

// One process-wide receiver of texts (user messages, diagnostics) that code without a window
// hands on; programs and tests install their own.
namespace kivo {

template <typename Sink>
class CProcessSink {
public:
    // Installs `sink` and returns the previous one.
    Sink exchange(Sink sink) {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_sink, std::move(sink));
    }
    // A copy of the current sink, so that calling it holds no lock.
    Sink current() const {
        std::lock_guard lock(m_mutex);
        return m_sink;
    }

private:
    mutable std::mutex m_mutex;
    Sink m_sink;
};

// Installs a sink through `Install` for the life of the object and restores the previous one
// afterwards; tests use it to capture texts.
template <typename Sink, Sink (*Install)(Sink)>
class CScopedSink {
public:
    explicit CScopedSink(Sink sink) : m_previous(Install(std::move(sink))) {}
    ~CScopedSink() { Install(std::move(m_previous)); }
    CScopedSink(const CScopedSink &) = delete;
    CScopedSink &operator=(const CScopedSink &) = delete;

private:
    Sink m_previous;
};

}  // namespace kivo
