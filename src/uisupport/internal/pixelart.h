#pragma once

#include <QImage>

// The pixel primitives and the shared colours of the built-in art. Everything is drawn without
// anti-aliasing, so that no colour bleeds into the transparent key; coordinates outside the
// image are dropped.
namespace kivo::skin::art {

inline constexpr QRgb kGraphiteBorder = 0xFF3B414B;
inline constexpr QRgb kGraphiteTop = 0xFF2C3037;
inline constexpr QRgb kGraphiteBottom = 0xFF1D2025;
inline constexpr QRgb kGraphiteHighlight = 0xFF4A515C;
inline constexpr QRgb kWellBorder = 0xFF0E0F12;
inline constexpr QRgb kWell = 0xFF0A0B0D;
inline constexpr QRgb kAmber = 0xFFF2A33A;
inline constexpr QRgb kAmberLight = 0xFFFFC870;
inline constexpr QRgb kLine = 0xFFA7B0BC;
inline constexpr QRgb kButtonEdge = 0xFF08090B;
inline constexpr QRgb kGlyphShadow = 0xFF0B0C0E;

// The colours of a skinned button in one of its four looks (normal, under the mouse, pressed,
// disabled). Normal and hover are raised graphite with a grey or white symbol; pressed is sunk
// with an amber rim and symbol; disabled is flat with a faint symbol.
struct ButtonLook {
    QRgb border;
    QRgb top;
    QRgb bottom;
    QRgb highlight;
    QRgb glyph;
    QRgb shadow;  // 0: none
};
inline constexpr ButtonLook kButtonLooks[4] = {
    {kButtonEdge, 0xFF3A3F48, 0xFF24282E, 0xFF565E6A, kLine, kGlyphShadow},
    {kButtonEdge, 0xFF474D57, 0xFF2D3138, 0xFF6A7480, 0xFFF1F4F7, kGlyphShadow},
    {0xFF8A5A14, 0xFF141619, 0xFF23272D, 0xFF0E0F12, kAmber, 0},
    {0xFF16181B, 0xFF25282D, 0xFF222529, 0xFF2B2F35, 0xFF4A515B, 0},
};

// An opaque canvas filled with the transparent key.
QImage keyedCanvas(int width, int height);

void setPixel(QImage &image, int x, int y, QRgb colour);
// Both ends are included.
void hLine(QImage &image, int x0, int x1, int y, QRgb colour);
void vLine(QImage &image, int x, int y0, int y1, QRgb colour);
void fill(QImage &image, int x0, int y0, int x1, int y1, QRgb colour);

// The colour step/steps of the way from one colour to the other.
QRgb blend(QRgb from, QRgb to, int step, int steps);

// A body over the whole image with a one-pixel border, cut corners (left at the key), a vertical
// gradient and a top highlight.
void body(QImage &image, QRgb border, QRgb top, QRgb bottom, QRgb highlight);

}  // namespace kivo::skin::art
