#pragma once

#include <QFont>

#include "uisupport/registry.h"

namespace kivo::skin {

// The font a settings record describes: the height as a pixel size (either sign), the weight
// on Qt's scale (which is the same 1..1000 scale), the style flags and the face.
QFont fontOf(const CLogFont &logFont);

}  // namespace kivo::skin
