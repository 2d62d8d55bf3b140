#pragma once

#include <QString>

// The engine's volume and balance are levels in hundredths of a decibel:
// volume 0 is full and -10000 silence, balance -10000 (right silent) .. 10000 (left silent).
// libmpv's volume is a percentage on a cubic curve (gain = (percent / 100)^3), so the decibels
// are converted exactly rather than mapped linearly.

constexpr int kSilence = -10000;

// The level the engine applies for a requested one: above 0 is 0; below -4000 is silence.
int clampVolumeLevel(int hundredthsDb);

// libmpv's volume percentage that gives the level's true gain; 0 for silence.
double mpvVolumeForLevel(int hundredthsDb);

int clampBalance(int balance);

// The audio filter chain ("af" property) that attenuates one side by |balance| hundredths of a
// decibel; empty for the centre, where no filter is needed.
QString balanceFilterChain(int balance);
