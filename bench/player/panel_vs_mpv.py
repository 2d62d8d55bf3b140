"""Step latency and playing CPU of the control panel against mpv and the engine (see the .sh)."""
import json
import os
import resource
import socket
import statistics
import subprocess
import sys
import tempfile
import time

from xserver import start_display

PANEL, ENGINE, VIDEO = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
RUNS, STEPS, PLAY_SECONDS = int(sys.argv[4]), int(sys.argv[5]), float(sys.argv[6])


def environment(display):
    scratch = tempfile.mkdtemp()
    return dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=scratch, XDG_RUNTIME_DIR=scratch)


def panel_steps(display):
    result = subprocess.run([PANEL, "step", VIDEO, str(STEPS)], env=environment(display),
                            capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"kivo_panel_probe failed ({result.returncode}):\n{result.stderr}")
    return [float(line) for line in result.stdout.split()]


def mpv_steps(display):
    ipc = os.path.join(tempfile.mkdtemp(), "mpv.sock")
    player = subprocess.Popen(["mpv", "--no-config", "--pause", "--vo=x11", "--ao=null",
                               "--geometry=960x540", "--input-ipc-server=" + ipc, VIDEO],
                              env=environment(display), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    try:
        while not os.path.exists(ipc):
            time.sleep(0.01)
        link = socket.socket(socket.AF_UNIX)
        link.connect(ipc)
        replies = link.makefile("rb")

        def send(command):
            link.sendall((json.dumps({"command": command}) + "\n").encode())

        send(["observe_property", 1, "time-pos"])
        # The first picture is shown (a step sent before that is accepted and lost).
        while json.loads(replies.readline()).get("event") != "playback-restart":
            pass
        times = []
        for _ in range(STEPS):
            started = time.monotonic()
            send(["frame-step"])
            while True:
                message = json.loads(replies.readline())
                if message.get("event") == "property-change" and message.get("name") == "time-pos":
                    break
            times.append((time.monotonic() - started) * 1000)
        return times
    finally:
        player.terminate()
        player.wait()


def cpu_share(command, display):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    started = time.monotonic()
    subprocess.run(command, env=environment(display), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)
    wall = time.monotonic() - started
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    used = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return used / wall


def p95(values):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(0.95 * (len(ordered) - 1))))]


def main():
    server, display = start_display("1920x1080x24")
    try:
        ours, peer, whole, alone = [], [], [], []
        for _ in range(RUNS):
            ours += panel_steps(display)
            peer += mpv_steps(display)
            whole.append(cpu_share([PANEL, "play", VIDEO, str(PLAY_SECONDS)], display))
            alone.append(cpu_share([ENGINE, "play", VIDEO, str(PLAY_SECONDS)], display))
    finally:
        server.terminate()
        server.wait()
    print(f"runs: {RUNS} interleaved, {STEPS} steps each")
    print(f"step key to picture (ms)   KIVOP median {statistics.median(ours):.1f} "
          f"p95 {p95(ours):.1f}   mpv frame-step median {statistics.median(peer):.1f} "
          f"p95 {p95(peer):.1f}")
    print(f"CPU while playing          whole player {statistics.median(whole):.2f}   "
          f"engine alone {statistics.median(alone):.2f}   "
          f"ratio {statistics.median(whole) / statistics.median(alone):.2f}")


main()
