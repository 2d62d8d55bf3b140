#include <gtest/gtest.h>

#include "platform/atomicfile.h"
#include "player/captions/samiconversion.h"
#include "player/captions/samireader.h"
#include "player/captions/samiwriter.h"
#include "player/lists/scratchfolder.h"
#include "samitestsupport.h"

using namespace kivo::captions;

namespace {

// The exact file the export writes for two captions, typed out byte by byte: the header in code
// page 949 (자막 = C0DA B8B7), CR LF everywhere, the start in whole milliseconds.
constexpr std::string_view kExpectedFile =
    "<SAMI>\r\n"
    "<HEAD>\r\n"
    "<Title>KIVO Player \xc0\xda\xb8\xb7 -> SMI</Title>\r\n"
    "<STYLE TYPE=\"text/css\">\r\n"
    "<!--\r\n"
    "P {margin-left:8pt; margin-right:8pt; margin-bottom:2pt; margin-top:2pt;\r\n"
    "text-align:center; font-size:10pt; font-family:arial, sans-serif;\r\n"
    "font-weight:normal; color:white;}\r\n"
    ".KRCC {Name:Korean; lang:kr-KR; SAMIType:CC; }\r\n"
    "#STDPrn {Name:Standard Print;}\r\n"
    "#LargePrn {Name:Large Print; font-size:20pt;}\r\n"
    "#SmallPrn {Name:Small Print; font-size:10pt;}\r\n"
    "-->\r\n"
    "</Style>\r\n"
    "</HEAD>\r\n"
    "<BODY>\r\n"
    "<SYNC Start=1500><P Class=KRCC>\r\n"
    "\xbe\xc8\xb3\xe7 \x8c\x63\r\n"
    "\r\n"
    "<SYNC Start=0><P Class=KRCC>\r\n"
    "\r\n"
    "\r\n"
    "</BODY>\r\n"
    "</SAMI>\r\n";

using Captions = std::vector<CCaptionEntry>;

}  // namespace

TEST(SamiWriter, WritesTheExactFile) {
    const CScratchFolder folder;
    const std::string path = folder / "captions.smi";
    const auto captions = Captions{caption(15'000'000.0, "안녕 똠"), caption(9'999.0, "")};
    const CSamiWriteResult result = saveSamiFile(path, captions);
    ASSERT_EQ(result.status, SamiWriteStatus::Saved);
    EXPECT_EQ(samiWriteMessage(result), "정상적으로 저장되었습니다.");
    EXPECT_EQ(kivo::readWholeFile(path), bytesOf(kExpectedFile));
}

TEST(SamiWriter, ExportImportExportKeepsEveryByte) {
    const auto captions = Captions{
        caption(10'000'000.0, "첫 번째 자막입니다"), caption(12'340'000.0, "똠방각하, 쓔 (UHC)"),
        caption(12'340'000.0, ""), caption(3'600'000'000'000.0, "한 시간 뒤")};
    const std::vector<uint8_t> first = samiBytes(captions);
    const auto entries = readSami(first);
    ASSERT_TRUE(entries);
    EXPECT_EQ(*entries, (std::vector<CSamiEntry>{{1000, "첫 번째 자막입니다"},
                                                 {1234, "똠방각하, 쓔 (UHC)"},
                                                 {1234, ""},
                                                 {360'000'000, "한 시간 뒤"}}));
    const auto description = descriptionFromSami(*entries, "영상.mp4");
    EXPECT_EQ(description->mediaPath(), "영상.mp4");
    EXPECT_EQ(samiBytes(description->captions()), first);
}

TEST(SamiWriter, TextBeyondTheCodePageTurnsTheFileIntoUtf8) {
    const auto captions = Captions{caption(0.0, "눈사람 ☃"), caption(20'000.0, "한글")};
    const std::vector<uint8_t> bytes = samiBytes(captions);
    const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF<SAMI>\r\n<HEAD>\r\n<Title>KIVO Player 자막 -> SMI"));
    EXPECT_NE(text.find("<SYNC Start=2><P Class=KRCC>\r\n한글\r\n"), std::string_view::npos);
    EXPECT_EQ(readSami(bytes), (std::vector<CSamiEntry>{{0, "눈사람 ☃"}, {2, "한글"}}));
}

TEST(SamiWriter, AFailedSaveLeavesNothingBehind) {
    const CScratchFolder folder;
    const CSamiWriteResult cannot = saveSamiFile(folder / "missing/x.smi", {});
    EXPECT_EQ(cannot.status, SamiWriteStatus::CannotCreate);
    EXPECT_EQ(samiWriteMessage(cannot), "Error!! :No such file or directory");

    // A folder where the file should go: everything is written, but it cannot be put in place.
    const std::string target = folder / "taken.smi";
    std::filesystem::create_directory(target);
    ASSERT_EQ(kivo::writeFileAtomically(target + "/inside", bytesOf("old")), 1);
    const CSamiWriteResult result = saveSamiFile(target, Captions{caption(0.0, "새 자막")});
    EXPECT_EQ(result.status, SamiWriteStatus::TrailerFailed);
    EXPECT_EQ(samiWriteMessage(result), "마지막 부분을 쓰다 실패했습니다.");
    EXPECT_EQ(kivo::readWholeFile(target + "/inside"), bytesOf("old"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}
