#pragma once

#include <functional>
#include <ostream>
#include <string>

class CVideoDescription;

// Text and JSON views of a scene description, used by the kivoscv command.

// Frame number -> media time in 100 ns units, or a negative value when unknown.
using FrameClock = std::function<double(double frame)>;

void printDescription(std::ostream &out, const CVideoDescription &document, int version,
                      const FrameClock &clock);
void printDescriptionJson(std::ostream &out, const CVideoDescription &document, int version,
                          const FrameClock &clock);

// "%02d:%02d:%02d" of whole seconds, as the scene views show times.
std::string formatSceneTime(double time100ns);
// "%02d:%02d:%02d.%03d", as captions are shown.
std::string formatCaptionTime(double time100ns);

// A small document with Korean titles, captions and repeat sections, for trying the tools.
void fillDemoDescription(CVideoDescription &document);
