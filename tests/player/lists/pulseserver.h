#pragma once

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "scratchfolder.h"

// A PulseAudio daemon with one null sink in a private runtime folder, and ALSA's default device
// routed to it through the pulse plugin (a .asoundrc in a private home): the sound server a
// desktop has, without a sound card. Set up before the process first uses ALSA, which reads its
// configuration once.
class CPulseServer {
public:
    CPulseServer() {
        const std::string runtime = m_folder / "runtime";
        const std::string home = m_folder / "home";
        std::filesystem::create_directories(runtime);
        std::filesystem::create_directories(home);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::setenv("HOME", home.c_str(), 1);
        m_socket = runtime + "/pulse/native";
        ::setenv("PULSE_SERVER", ("unix:" + m_socket).c_str(), 1);
        std::ofstream(home + "/.asoundrc") << "pcm.!default { type pulse }\n"
                                              "ctl.!default { type pulse }\n";
        m_pid = ::fork();
        if (m_pid == 0) {
            // As root the daemon warns but runs when it is told it is no system instance.
            ::execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--system=no",
                     "--exit-idle-time=-1", "--log-target=stderr", "--log-level=error", "-L",
                     "module-null-sink", "-L", "module-native-protocol-unix", nullptr);
            ::_exit(127);
        }
        for (int wait = 0; wait < 100 && !std::filesystem::exists(m_socket); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~CPulseServer() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    CPulseServer(const CPulseServer &) = delete;
    CPulseServer &operator=(const CPulseServer &) = delete;

    bool running() const { return m_pid > 0 && std::filesystem::exists(m_socket); }

    // What pactl says of the default sink ("get-sink-volume", "get-sink-mute").
    static std::string ask(const std::string &query) {
        std::string answer;
        if (FILE *pipe = ::popen(("pactl " + query + " @DEFAULT_SINK@ 2>&1").c_str(), "r")) {
            char buffer[512];
            while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
                answer += buffer;
            }
            ::pclose(pipe);
        }
        return answer;
    }
    // The sink's raw volume of its first channel (65536 is 100 %), -1 when pactl cannot tell.
    static long sinkVolume() {
        const std::string answer = ask("get-sink-volume");
        const size_t at = answer.find(": ", answer.find("front-left"));
        return at == std::string::npos ? -1 : std::stol(answer.substr(at + 2));
    }
    static bool sinkMuted() { return ask("get-sink-mute").find("yes") != std::string::npos; }

private:
    CScratchFolder m_folder;
    std::string m_socket;
    pid_t m_pid = -1;
};
