#include "uisupport/fontsetting.h"

namespace kivo::skin {

QFont fontOf(const CLogFont &logFont) {
    QFont font(logFont.faceName);
    if (logFont.height != 0) {
        font.setPixelSize(logFont.height < 0 ? -logFont.height : logFont.height);
    }
    // 0 means "any weight", which is normal.
    const int weight = logFont.weight <= 0 ? 400 : qBound(1, logFont.weight, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(logFont.italic);
    font.setUnderline(logFont.underline);
    font.setStrikeOut(logFont.strikeOut);
    return font;
}

}  // namespace kivo::skin
