#include "imaging/replacingfile.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <utility>

namespace {

// A name that no other writer in this or another process is likely to pick at the same moment;
// creation is exclusive anyway, so a clash only costs another attempt.
std::string temporaryNameFor(const std::string &target) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return target + ".tmp" +
           std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ull) + "-" +
           std::to_string(counter.fetch_add(1));
}

}  // namespace

CReplacingFile::CReplacingFile(std::string target) : m_target(std::move(target)) {}

CReplacingFile::~CReplacingFile() {
    discard();
}

FILE *CReplacingFile::open() {
    discard();
    for (int attempt = 0; attempt < 16 && !m_file; ++attempt) {
        std::string name = temporaryNameFor(m_target);
        // "x": fail rather than reuse a file that already exists under that name.
        m_file.reset(std::fopen(name.c_str(), "wbx"));
        if (m_file) {
            m_temporary = std::move(name);
        }
    }
    return m_file.get();
}

int CReplacingFile::commit() {
    if (!m_file) {
        return 0;
    }
    const bool written = std::fflush(m_file.get()) == 0 && std::ferror(m_file.get()) == 0;
    const bool closed = std::fclose(m_file.release()) == 0;
    if (!written || !closed || std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        discard();
        return 0;
    }
    m_temporary.clear();
    return 1;
}

void CReplacingFile::discard() {
    m_file.reset();
    if (!m_temporary.empty()) {
        std::remove(m_temporary.c_str());
        m_temporary.clear();
    }
}
