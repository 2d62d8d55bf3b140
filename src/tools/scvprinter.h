#pragma once

#include <functional>
#include <ostream>
#include <string>

class CVideoDescription;

// Text and JSON views of a scene description, used by the kivoscv command. The JSON gives each
// caption its time in 100-ns units ("time") and in whole milliseconds ("ms").

// Frame number -> media time in 100 ns units, or a negative value when unknown.
using FrameClock = std::function<double(double frame)>;

void printDescription(std::ostream &out, const CVideoDescription &document, int version,
                      const FrameClock &clock);
void printDescriptionJson(std::ostream &out, const CVideoDescription &document, int version,
                          const FrameClock &clock);

// A small document with Korean titles, captions and repeat sections, for trying the tools.
void fillDemoDescription(CVideoDescription &document);
