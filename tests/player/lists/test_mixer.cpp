#include <gtest/gtest.h>

#include "player/lists/mixer.h"
#include "pulseserver.h"

using kivo::lists::CMixer;

namespace {

CPulseServer *server = nullptr;

class MixerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new CPulseServer; }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(server->running()) << "pulseaudio did not start"; }
};

}  // namespace

TEST_F(MixerTest, TheSlidersZeroWrites2000AndTheNextReadShowsIt) {
    CMixer mixer;
    ASSERT_TRUE(mixer.hasVolume());
    mixer.setVolume(0);
    EXPECT_EQ(mixer.lastResult(), 0);
    EXPECT_EQ(mixer.volume(), 2000);
    EXPECT_EQ(mixer.level(), 0);
    // The sound server took it: 2000 of 65535 is 2000 of its 65536.
    EXPECT_EQ(CPulseServer::sinkVolume(), 2000);
    // A fresh mixer reads what the server has.
    EXPECT_EQ(CMixer().volume(), 2000);
}

TEST_F(MixerTest, StepsOf2047ClampAtBothEnds) {
    CMixer mixer;
    mixer.setVolume(64000);
    mixer.volumeUp();
    EXPECT_EQ(mixer.volume(), 65535);
    EXPECT_EQ(mixer.level(), 32);
    EXPECT_EQ(CPulseServer::sinkVolume(), 65536);
    mixer.setVolume(3000);
    mixer.volumeDown();
    EXPECT_EQ(mixer.volume(), 2000);
    mixer.setVolume(40000);
    mixer.volumeDown();
    EXPECT_EQ(mixer.volume(), 40000 - 2047);
    EXPECT_EQ(mixer.level(), (40000 - 2047) / 2047);
}

TEST_F(MixerTest, MuteTogglesTheSinksMute) {
    CMixer mixer;
    ASSERT_TRUE(mixer.hasMute());
    mixer.setMute(false);
    EXPECT_FALSE(CPulseServer::sinkMuted());
    mixer.toggleMute();
    EXPECT_TRUE(mixer.mute());
    EXPECT_TRUE(CPulseServer::sinkMuted());
    mixer.toggleMute();
    EXPECT_FALSE(mixer.mute());
    EXPECT_FALSE(CPulseServer::sinkMuted());
}

TEST_F(MixerTest, WithoutAMixerTheControlsStayUnknownAndCommandsDoNothing) {
    CMixer absent("hw:97");
    EXPECT_FALSE(absent.hasVolume());
    EXPECT_FALSE(absent.hasMute());
    EXPECT_NE(absent.lastResult(), 0);
    absent.setVolume(30000);
    absent.volumeUp();
    absent.setMute(true);
    EXPECT_EQ(absent.volume(), 0);
    EXPECT_FALSE(absent.mute());
    EXPECT_FALSE(CPulseServer::sinkMuted());
}
