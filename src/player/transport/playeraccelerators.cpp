#include "player/transport/playeraccelerators.h"

#include "player/transport/playercommands.h"

#include <algorithm>
#include <array>

namespace kivo::player {
namespace {

constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers kCtrlAlt = Qt::ControlModifier | Qt::AltModifier;

constexpr Accelerator key(Qt::KeyboardModifiers modifiers, Qt::Key key, int command) {
    return {QKeyCombination(modifiers, key), command};
}

// Home and End carry Ctrl, although the shortcut menu labels them without it.
constexpr std::array kAccelerators = {
    key({}, Qt::Key_F1, kHelp),
    key({}, Qt::Key_F2, kKeyPlay),
    key({}, Qt::Key_F3, kKeyPause),
    key({}, Qt::Key_F4, kKeyStop),
    key({}, Qt::Key_F5, kKeyFastBackward),
    key({}, Qt::Key_F6, kKeySlowBackward),
    key({}, Qt::Key_F7, kKeySlowForward),
    key({}, Qt::Key_F8, kKeyFastForward),
    key({}, Qt::Key_F9, kKeyNormalPlayMode),
    key({}, Qt::Key_F10, kKeyRepeatPlayMode),
    key(kCtrl, Qt::Key_O, kKeyOpen),
    key(kCtrl, Qt::Key_S, kKeySaveDescription),
    key(kCtrl, Qt::Key_P, kKeyToggleControlPanel),
    key(kAlt, Qt::Key_Q, kKeyCloseFile),
    key(kAlt, Qt::Key_X, kKeyExit),
    key(kAlt, Qt::Key_T, kKeySceneSplit),
    key(kAlt, Qt::Key_C, kKeyArrange),
    key(kCtrl, Qt::Key_Up, kKeyZoomIn),
    key(kCtrl, Qt::Key_Down, kKeyZoomOut),
    key(kCtrl, Qt::Key_Left, kKeyStepBack),
    key(kCtrl, Qt::Key_Right, kKeyStepForward),
    key(kAlt, Qt::Key_Up, kKeyVolumeUp),
    key(kAlt, Qt::Key_Down, kKeyVolumeDown),
    key(kCtrlAlt, Qt::Key_Up, kKeyCaptionBoxTaller),
    key(kCtrlAlt, Qt::Key_Down, kKeyCaptionBoxShorter),
    key(kCtrl, Qt::Key_Return, kKeyFullVideo),
    key(kAlt, Qt::Key_Return, kKeyFullScreen),
    key(kCtrl, Qt::Key_Home, kKeyGoToStart),
    key(kCtrl, Qt::Key_End, kKeyGoToEnd),
    key({}, Qt::Key_PageDown, kKeyNextFile),
    key({}, Qt::Key_PageUp, kKeyPreviousFile),
    key({}, Qt::Key_Pause, kKeyStopAndHide),
};

}  // namespace

std::span<const Accelerator> playerAccelerators() {
    return kAccelerators;
}

int acceleratorCommand(QKeyCombination key) {
    const Qt::Key pressed = key.key() == Qt::Key_Enter ? Qt::Key_Return : key.key();
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers() & ~Qt::KeypadModifier;
    const auto found =
        std::ranges::find(kAccelerators, QKeyCombination(modifiers, pressed), &Accelerator::key);
    return found != kAccelerators.end() ? found->command : 0;
}

}  // namespace kivo::player
