#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "platform/atomicfile.h"
#include "player/lists/scratchfolder.h"
#include "samitestsupport.h"

// The kivoscv command converting captions, run as a program: its exit status and its messages.
namespace {

struct CRun {
    int status;
    std::string errors;
};

CRun kivoscv(const CScratchFolder &folder, const std::string &arguments) {
    const std::string errors = folder / "stderr.txt";
    const std::string command =
        std::string(KIVOSCV_PATH) + " " + arguments + " 2>'" + errors + "' >/dev/null";
    const int raw = std::system(command.c_str());
    const auto text = kivo::readWholeFile(errors).value_or(std::vector<uint8_t>{});
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(text.begin(), text.end())};
}

}  // namespace

TEST(KivoscvCaptions, ConvertsBothWaysWithItsExitStatus) {
    const CScratchFolder folder;
    const std::string smi = folder / "in.smi";
    const std::string scv = folder / "out.scv";
    ASSERT_EQ(kivo::writeFileAtomically(
                  smi, bytesOf("<SYNC Start=1500><P Class=KRCC>\xbe\xc8\xb3\xe7<SYNC Start=3000>")),
              1);
    EXPECT_EQ(kivoscv(folder, "smi2scv " + smi + " " + scv + " --media movie.mp4").status, 0);
    const std::string back = folder / "back.smi";
    EXPECT_EQ(kivoscv(folder, "scv2smi " + scv + " " + back).status, 0);
    const auto written = kivo::readWholeFile(back);
    ASSERT_TRUE(written);
    const std::string text(written->begin(), written->end());
    EXPECT_NE(text.find("<SYNC Start=1500><P Class=KRCC>\r\n\xbe\xc8\xb3\xe7\r\n\r\n"
                        "<SYNC Start=3000><P Class=KRCC>\r\n\r\n\r\n</BODY>"),
              std::string::npos);

    // Unreadable input: 2 with the reading's message.
    ASSERT_EQ(kivo::writeFileAtomically(folder / "html.smi", bytesOf("<html>no captions</html>")),
              1);
    const CRun notSami = kivoscv(folder, "smi2scv " + (folder / "html.smi") + " " + scv);
    EXPECT_EQ(notSami.status, 2);
    EXPECT_NE(notSami.errors.find("SMI 파일 분석에 실패했습니다."), std::string::npos);
    EXPECT_EQ(kivoscv(folder, "smi2scv " + (folder / "none.smi") + " " + scv).status, 2);
    EXPECT_EQ(kivoscv(folder, "scv2smi " + smi + " " + back).status, 2);
    EXPECT_EQ(kivoscv(folder, "smi2scv " + smi).status, 2);

    // A file that cannot be written: 1, and the old result stays.
    const CRun noScv = kivoscv(folder, "smi2scv " + smi + " " + (folder / "no/out.scv"));
    EXPECT_EQ(noScv.status, 1);
    EXPECT_NE(noScv.errors.find("저장중에 오류가 발생했습니다."), std::string::npos);
    const CRun noSmi = kivoscv(folder, "scv2smi " + scv + " " + (folder / "no/out.smi"));
    EXPECT_EQ(noSmi.status, 1);
    EXPECT_NE(noSmi.errors.find("Error!! :"), std::string::npos);
    EXPECT_EQ(kivo::readWholeFile(back), written);
}
