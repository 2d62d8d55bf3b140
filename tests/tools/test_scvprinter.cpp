#include "tools/scvprinter.h"

#include "scene/videodescription.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ScvPrinter, TreeIsIndentedWithTimesWhereTheClockKnowsThem) {
    CVideoDescription doc;
    fillDemoDescription(doc);
    std::ostringstream out;
    printDescription(out, doc, 202, [](double frame) { return frame >= 100 ? frame * 4e5 : -1; });
    const std::string text = out.str();
    EXPECT_NE(text.find("version: 2.02\n"), std::string::npos);
    EXPECT_NE(text.find("\n        100  00:00:04  \"클로즈업\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n      40  \"인터뷰\"  (장면 2)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("00:00:01.600 - 00:00:03.200  x2"), std::string::npos);
}

TEST(ScvPrinter, JsonEscapesControlCharactersAndQuotes) {
    CVideoDescription doc;
    doc.setMediaPath("C:\\clips\\\"a\".avi");
    doc.root().info().title = "line\nbreak\x01";
    std::ostringstream out;
    printDescriptionJson(out, doc, 202, nullptr);
    const std::string json = out.str();
    EXPECT_NE(json.find(R"("mediaPath":"C:\\clips\\\"a\".avi")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("title":"line\nbreak\u0001")"), std::string::npos) << json;
    EXPECT_EQ(json.find('\n'), json.size() - 1);
}
