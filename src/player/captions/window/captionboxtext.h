#pragma once

#include <QString>

struct CLogFont;

// What the caption box writes into its page: colours, the paragraph around a caption, and the
// font sizes between the font dialog's points and the stored pixels.
namespace kivo::captions {

// "#rrggbb" of a colour reference (0x00BBGGRR), two hex digits for each part, so that a part
// below 16 keeps its leading zero (a space there would make the colour unreadable).
QString htmlColour(int colourRef);

// The caption in a centred paragraph of the font: the caption's text after its first ">"
// (the whole caption when it has none), behind the opening <P> with the margins, the font's
// face and pixel size, weight and italic, then <u> and <strike> when the font has them.
QString styledParagraph(const QString &caption, const CLogFont &font);

// A font height in pixels for a size in points at `dotsPerInch`, and back.
int pixelsOfPoints(double points, double dotsPerInch);
double pointsOfPixels(int pixels, double dotsPerInch);

}  // namespace kivo::captions
