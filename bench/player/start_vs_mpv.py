"""Times the player's cold start and its second start to playing against mpv (see the .sh)."""
import json
import os
import select
import socket
import statistics
import subprocess
import sys
import tempfile
import time

from xserver import start_display

PLAYER, VIDEO, RUNS = sys.argv[1], os.path.abspath(sys.argv[2]), int(sys.argv[3])


def session_environment(display):
    environment = dict(os.environ, DISPLAY=display)
    for variable in ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"):
        environment[variable] = tempfile.mkdtemp()
        os.chmod(environment[variable], 0o700)
    environment.pop("QT_QPA_PLATFORM", None)
    return environment


def window_mapped(display, title):
    """A window of that title is viewable (a program may have hidden ones of the same title)."""
    tree = subprocess.run(["xwininfo", "-display", display, "-root", "-tree"],
                          capture_output=True, text=True).stdout
    for line in tree.splitlines():
        fields = line.split()
        if f'"{title}"' in line and fields and fields[0].startswith("0x"):
            state = subprocess.run(["xwininfo", "-display", display, "-id", fields[0]],
                                   capture_output=True, text=True).stdout
            if "IsViewable" in state:
                return True
    return False


def cold_start(command, title, display):
    environment = session_environment(display)
    started = time.monotonic()
    log = tempfile.TemporaryFile()
    process = subprocess.Popen(command, env=environment, stdout=log, stderr=log)
    try:
        while not window_mapped(display, title):
            if time.monotonic() - started > 20:
                log.seek(0)
                raise RuntimeError(f"{command[0]}: no window\n{log.read().decode()}")
        return (time.monotonic() - started) * 1000
    finally:
        process.terminate()
        process.wait()


def read_until(stream, text, deadline):
    seen = b""
    while text not in seen:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([stream], [], [], left)[0]:
            raise RuntimeError(f"timed out waiting for {text!r}")
        chunk = os.read(stream.fileno(), 65536)
        if not chunk:
            raise RuntimeError("the player ended")
        seen += chunk


def kivop_second_starts(display):
    environment = session_environment(display)
    socket_path = os.path.join(environment["XDG_RUNTIME_DIR"], f"kivo-player-{os.getuid()}")
    running = subprocess.Popen([PLAYER], env=environment, stderr=subprocess.PIPE,
                               stdout=subprocess.DEVNULL)
    try:
        while not os.path.exists(socket_path):
            time.sleep(0.01)
        while True:
            started = time.monotonic()
            subprocess.run([PLAYER, VIDEO], env=environment, check=True)
            read_until(running.stderr, b"opened " + VIDEO.encode(), started + 20)
            yield (time.monotonic() - started) * 1000
    finally:
        running.terminate()
        running.wait()


def mpv_second_starts(display):
    environment = session_environment(display)
    ipc = os.path.join(environment["XDG_RUNTIME_DIR"], "mpv.sock")
    running = subprocess.Popen(["mpv", "--no-config", "--idle=yes", "--force-window=yes",
                                "--input-ipc-server=" + ipc, "--ao=null"], env=environment,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while not os.path.exists(ipc):
            time.sleep(0.01)
        observer = socket.socket(socket.AF_UNIX)
        observer.connect(ipc)
        events = observer.makefile("rb")
        request = json.dumps({"command": ["loadfile", VIDEO]}) + "\n"
        while True:
            started = time.monotonic()
            subprocess.run(["socat", "-", "UNIX-CONNECT:" + ipc], input=request.encode(),
                           stdout=subprocess.DEVNULL, check=True)
            while json.loads(events.readline()).get("event") != "playback-restart":
                pass
            yield (time.monotonic() - started) * 1000
    finally:
        running.terminate()
        running.wait()


def main():
    server, display = start_display("1280x800x24")
    try:
        cold = {"KIVOP": [], "mpv --idle": []}
        for _ in range(RUNS):
            cold["KIVOP"].append(cold_start([PLAYER], "KIVO Player", display))
            cold["mpv --idle"].append(cold_start(
                ["mpv", "--no-config", "--idle=yes", "--force-window=yes", "--title=mpv idle"],
                "mpv idle", display))
        second = {"KIVOP": [], "mpv --idle": []}
        ours, peer = kivop_second_starts(display), mpv_second_starts(display)
        for _ in range(RUNS):
            second["KIVOP"].append(next(ours))
            second["mpv --idle"].append(next(peer))
        ours.close()
        peer.close()
    finally:
        server.terminate()
        server.wait()
    print(f"runs: {RUNS} interleaved; medians in ms (min-max)")
    for label, table in (("cold start to window on screen", cold),
                         ("second start to playing", second)):
        cells = [f"{name} {statistics.median(times):.0f} ({min(times):.0f}-{max(times):.0f})"
                 for name, times in table.items()]
        print(f"{label:32} " + "   ".join(cells))


main()
