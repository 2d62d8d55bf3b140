#pragma once

#include <QKeyCombination>

#include <span>

// The control panel's accelerator keys: each key runs one command of playercommands.h. The
// control panel looks a key press up before its normal key handling.
namespace kivo::player {

struct Accelerator {
    QKeyCombination key;
    int command = 0;
};

// Every accelerator, in the order of the key table.
std::span<const Accelerator> playerAccelerators();

// The command of a key press, or 0 when no accelerator has that key. The keys are virtual keys:
// Enter on the keypad counts as Enter, and the keypad's arrows and paging keys as the main
// ones.
int acceleratorCommand(QKeyCombination key);

}  // namespace kivo::player
