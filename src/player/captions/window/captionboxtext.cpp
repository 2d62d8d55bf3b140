#include "player/captions/window/captionboxtext.h"

#include <cmath>
#include <cstdlib>

#include "uisupport/registry.h"

namespace kivo::captions {

QString htmlColour(int colourRef) {
    const auto part = [colourRef](int shift) {
        return QStringLiteral("%1").arg((colourRef >> shift) & 0xFF, 2, 16, QLatin1Char('0'));
    };
    return u'#' + part(0) + part(8) + part(16);
}

QString styledParagraph(const QString &caption, const CLogFont &font) {
    const qsizetype close = caption.indexOf(u'>');
    const QString text = close < 0 ? caption : caption.mid(close + 1);
    // The height is in pixels, and the size says so: a bare number is not a CSS length.
    QString html = QStringLiteral(
        "<P style=\"margin-left:8pt; margin-right:8pt; margin-bottom:2pt; margin-top:2pt;"
        " text-align:center;");
    html += QStringLiteral(" font-family:%1; font-size:%2px;")
                .arg(font.faceName)
                .arg(std::abs(font.height));
    html += font.weight == 700 ? QStringLiteral(" font-weight:bold;")
                               : QStringLiteral(" font-weight:normal;");
    if (font.italic) {
        html += QStringLiteral(" font-style:italic;");
    }
    html += QStringLiteral("\">");
    if (font.underline) {
        html += QStringLiteral("<u>");
    }
    if (font.strikeOut) {
        html += QStringLiteral("<strike>");
    }
    return html + text;
}

int pixelsOfPoints(double points, double dotsPerInch) {
    return static_cast<int>(std::lround(points * dotsPerInch / 72.0));
}

double pointsOfPixels(int pixels, double dotsPerInch) {
    return dotsPerInch > 0 ? std::abs(pixels) * 72.0 / dotsPerInch : 0.0;
}

}  // namespace kivo::captions
