#include "uisupport/dialogunits.h"

#include <QFontMetrics>

namespace {

// MulDiv: the product over the divisor, rounded half away from zero.
int mulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

CDialogUnits::CDialogUnits(const QFont &font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, as the system measures dialog fonts.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseWidth = (letters / 26 + 1) / 2;
    m_baseHeight = metrics.height();
}

int CDialogUnits::x(int units) const {
    return mulDiv(units, m_baseWidth, 4);
}

int CDialogUnits::y(int units) const {
    return mulDiv(units, m_baseHeight, 8);
}

QRect CDialogUnits::rect(int left, int top, int width, int height) const {
    const int l = x(left);
    const int t = y(top);
    return QRect(l, t, x(left + width) - l, y(top + height) - t);
}
