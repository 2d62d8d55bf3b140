#pragma once

#include <chrono>
#include <cstdio>
#include <string>

// A one-line progress bar on a terminal: per cent, frame, frames per second and time left,
// redrawn in place at most a few times a second.
class CTerminalProgress {
public:
    CTerminalProgress(std::FILE *terminal, double totalFrames);

    // The frame just processed; redraws when the last drawing is old enough.
    void update(double frame);
    // Draws the final state and ends the line.
    void finish(double frame);

    // The text of the line for a state; exposed for tests.
    static std::string line(double frame, double totalFrames, double seconds);

private:
    void draw(double frame);

    std::FILE *m_terminal;
    double m_totalFrames;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDraw;
    bool m_drawn = false;
};
