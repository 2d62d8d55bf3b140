#include "tools/scvprinter.h"

#include "scene/mediatime.h"
#include "scene/videodescription.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace {

std::string formatCreationTime(uint32_t seconds) {
    const std::time_t time = seconds;
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    return text;
}

std::string formatFrame(double frame) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", frame);
    return text;
}

std::string jsonString(const std::string &text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// One line of text per node, children indented by two spaces.
void printNode(std::ostream &out, const CSceneNode &node, int level, const FrameClock &clock) {
    out << std::string(static_cast<size_t>(level) * 2, ' ') << formatFrame(node.frame());
    const double time = clock ? clock(node.frame()) : -1.0;
    if (time >= 0) {
        out << "  " << kivo::scene::formatMediaTime(time);
    }
    if (!node.info().title.empty()) {
        out << "  \"" << node.info().title << '"';
    }
    if (!node.info().comment.empty()) {
        out << "  (" << node.info().comment << ')';
    }
    if (node.expanded()) {
        out << "  [expanded]";
    }
    if (node.selected()) {
        out << "  [selected]";
    }
    out << '\n';
    for (int i = 0; i < node.childCount(); ++i) {
        printNode(out, *node.child(i), level + 1, clock);
    }
}

void printNodeJson(std::ostream &out, const CSceneNode &node, const FrameClock &clock) {
    const double time = clock ? clock(node.frame()) : -1.0;
    out << "{\"frame\":" << jsonNumber(node.frame());
    if (time >= 0) {
        out << ",\"time\":" << jsonString(kivo::scene::formatMediaTime(time));
    }
    out << ",\"title\":" << jsonString(node.info().title)
        << ",\"comment\":" << jsonString(node.info().comment)
        << ",\"expanded\":" << (node.expanded() ? "true" : "false")
        << ",\"selected\":" << (node.selected() ? "true" : "false") << ",\"children\":[";
    for (int i = 0; i < node.childCount(); ++i) {
        if (i > 0) {
            out << ',';
        }
        printNodeJson(out, *node.child(i), clock);
    }
    out << "]}";
}

}  // namespace

void printDescription(std::ostream &out, const CVideoDescription &document, int version,
                      const FrameClock &clock) {
    out << "version: " << version / 100 << '.' << (version / 10) % 10 << version % 10 << '\n'
        << "media: " << document.mediaPath() << '\n'
        << "created: " << formatCreationTime(document.info().creationTime) << '\n';
    for (const std::string *text :
         {&document.info().text1, &document.info().text2, &document.info().text3}) {
        if (!text->empty()) {
            out << "info: " << *text << '\n';
        }
    }
    out << "scenes:\n";
    printNode(out, document.root(), 1, clock);
    out << "repeat sections: " << document.repeatSections().size() << '\n';
    for (const CRepeatSection &section : document.repeatSections()) {
        out << "  " << section.row << "  \"" << section.title << "\"  "
            << kivo::scene::formatCaptionTime(section.start) << " - "
            << kivo::scene::formatCaptionTime(section.end) << "  x" << section.repeatCount << '\n';
    }
    out << "captions: " << document.captions().size() << '\n';
    for (const CCaptionEntry &caption : document.captions()) {
        out << "  " << kivo::scene::formatCaptionTime(caption.time) << "  " << caption.text << '\n';
    }
    out << "extra entries: " << document.extraEntries().size() << '\n';
}

void printDescriptionJson(std::ostream &out, const CVideoDescription &document, int version,
                          const FrameClock &clock) {
    out << "{\"version\":" << version << ",\"mediaPath\":" << jsonString(document.mediaPath())
        << ",\"created\":" << document.info().creationTime << ",\"info\":["
        << jsonString(document.info().text1) << ',' << jsonString(document.info().text2) << ','
        << jsonString(document.info().text3) << "],\"scenes\":";
    printNodeJson(out, document.root(), clock);
    out << ",\"repeatSections\":[";
    for (size_t i = 0; i < document.repeatSections().size(); ++i) {
        const CRepeatSection &section = document.repeatSections()[i];
        out << (i ? "," : "") << "{\"row\":" << section.row
            << ",\"title\":" << jsonString(section.title)
            << ",\"start\":" << jsonNumber(section.start) << ",\"end\":" << jsonNumber(section.end)
            << ",\"repeatCount\":" << section.repeatCount << '}';
    }
    out << "],\"captions\":[";
    for (size_t i = 0; i < document.captions().size(); ++i) {
        const CCaptionEntry &caption = document.captions()[i];
        // The time in whole milliseconds too, the unit of SAMI files.
        out << (i ? "," : "") << "{\"time\":" << jsonNumber(caption.time)
            << ",\"ms\":" << jsonNumber(std::trunc(caption.time / 10'000.0))
            << ",\"text\":" << jsonString(caption.text) << '}';
    }
    out << "],\"extraEntries\":" << document.extraEntries().size() << "}\n";
}

void fillDemoDescription(CVideoDescription &document) {
    document.setMediaPath("demo.mp4");
    document.info().text1 = "KIVO 데모";
    CSceneNode &root = document.root();
    root.setExpanded(1);
    CSceneNode *video = root.addChild(0.0);
    video->setExpanded(1);
    video->info().title = "전체 영상";
    const char *titles[] = {"오프닝", "인터뷰", "현장 취재", "마무리"};
    for (int i = 0; i < 4; ++i) {
        CSceneNode *scene = video->addChild(40.0 * i);
        scene->info().title = titles[i];
        scene->info().comment = "장면 " + std::to_string(i + 1);
    }
    video->child(2)->addChild(100.0)->info().title = "클로즈업";
    document.repeatSections().push_back({0, "인터뷰 반복", 1.6e7, 3.2e7, 2});
    CCaptionEntry caption;
    caption.time = 1.0e7;
    caption.text = "안녕하세요";
    document.captions().push_back(caption);
}
