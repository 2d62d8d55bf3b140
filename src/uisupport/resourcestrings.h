#pragma once

#include <QString>

// The string table: texts addressed by number (tooltips and captions that the windows name by
// their resource ids). Each program registers its own strings at start-up.
namespace kivo::ui {

void registerResourceString(int id, const QString &text);
// The registered text, or an empty string.
QString resourceString(int id);

}  // namespace kivo::ui
