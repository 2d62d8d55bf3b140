#include "segmenter/terminalprogress.h"

#include <algorithm>
#include <cmath>

#include "scene/mediatime.h"

namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

CTerminalProgress::CTerminalProgress(std::FILE *terminal, double totalFrames)
    : m_terminal(terminal),
      m_totalFrames(totalFrames),
      m_start(std::chrono::steady_clock::now()),
      m_lastDraw(m_start) {}

void CTerminalProgress::update(double frame) {
    const auto now = std::chrono::steady_clock::now();
    if (m_drawn && now - m_lastDraw < kRedrawInterval) {
        return;
    }
    m_lastDraw = now;
    draw(frame);
}

void CTerminalProgress::finish(double frame) {
    draw(frame);
    std::fputc('\n', m_terminal);
    std::fflush(m_terminal);
}

void CTerminalProgress::draw(double frame) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    std::fprintf(m_terminal, "\r%s", line(frame, m_totalFrames, seconds).c_str());
    std::fflush(m_terminal);
    m_drawn = true;
}

std::string CTerminalProgress::line(double frame, double totalFrames, double seconds) {
    const double fraction = totalFrames > 0 ? std::clamp(frame / totalFrames, 0.0, 1.0) : 0.0;
    const int filled = static_cast<int>(fraction * kBarWidth);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(kBarWidth, '-');
    const double rate = seconds > 0 ? frame / seconds : 0.0;
    const double left = rate > 0 ? std::max(0.0, totalFrames - frame) / rate : 0.0;
    char text[160];
    std::snprintf(text, sizeof text, "[%s] %3d%%  frame %.0f/%.0f  %6.1f fps  %s left", bar.c_str(),
                  static_cast<int>(fraction * 100), frame, totalFrames, rate,
                  kivo::scene::formatMediaTime(left * kivo::scene::kUnitsPerSecond).c_str());
    return text;
}
