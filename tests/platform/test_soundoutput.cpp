// The sound-output check against ALSA's real configuration handling: a default device that
// opens (ALSA's null plugin, which needs no hardware) and one that cannot (a card that is not
// there).
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/soundoutput.h"

namespace {

// Makes ALSA read only this configuration from now on.
void useAlsaConfiguration(const std::filesystem::path &file, const char *text) {
    std::ofstream(file) << text;
    ::setenv("ALSA_CONFIG_PATH", file.c_str(), 1);
    snd_config_update_free_global();
}

}  // namespace

TEST(SoundOutput, FollowsWhetherTheDefaultDeviceOpens) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::filesystem::path file =
        folder / ("kivo-alsa-" + std::to_string(::getpid()) + ".conf");
    useAlsaConfiguration(file, "pcm.!default { type null }\n");
    EXPECT_TRUE(kivo::hasSoundOutput());
    useAlsaConfiguration(file, "pcm.!default { type hw card 97 }\n");
    EXPECT_FALSE(kivo::hasSoundOutput());
    std::filesystem::remove(file);
}
