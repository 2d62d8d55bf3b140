"""Remote-control round trips of the player against mpv's JSON IPC (see the .sh)."""
import json
import os
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time

PLAYER, CTL, PROBE = sys.argv[1:4]
VIDEO = os.path.abspath(sys.argv[4])
COUNT = int(sys.argv[5])


def summary(milliseconds):
    ordered = sorted(milliseconds)
    p99 = ordered[min(len(ordered) - 1, int(round(0.99 * (len(ordered) - 1))))]
    return statistics.median(ordered), p99


def wait_for(path, process, seconds=30):
    started = time.monotonic()
    while not os.path.exists(path):
        if process.poll() is not None or time.monotonic() - started > seconds:
            raise RuntimeError(f"nobody listens on {path}")
        time.sleep(0.05)


def timed_runs(command, environment, stdin=None):
    spent = []
    for _ in range(COUNT):
        started = time.perf_counter()
        subprocess.run(command, env=environment, input=stdin, stdout=subprocess.DEVNULL,
                       check=True)
        spent.append((time.perf_counter() - started) * 1000)
    return spent


def kivo_bare(path):
    spent = []
    with socket.socket(socket.AF_UNIX) as client:
        client.connect(path)
        for _ in range(COUNT):
            started = time.perf_counter()
            client.sendall(struct.pack("<Ii", 0x178E, 0))
            answer = b""
            while len(answer) < 12 or len(answer) < 12 + struct.unpack_from("<I", answer, 8)[0]:
                answer += client.recv(65536)
            spent.append((time.perf_counter() - started) * 1000)
    return spent


def mpv_bare(path):
    spent = []
    request = json.dumps({"command": ["get_property", "pause"]}).encode() + b"\n"
    with socket.socket(socket.AF_UNIX) as client:
        client.connect(path)
        reader = client.makefile("rb")
        for _ in range(COUNT):
            started = time.perf_counter()
            client.sendall(request)
            while b'"request_id"' not in reader.readline():
                pass
            spent.append((time.perf_counter() - started) * 1000)
    return spent


def main():
    runtime = tempfile.mkdtemp()
    os.chmod(runtime, 0o700)
    environment = dict(os.environ, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=tempfile.mkdtemp(),
                       QT_QPA_PLATFORM="offscreen", KIVO_VIDEO_RENDERER="software")
    environment.pop("DBUS_SESSION_BUS_ADDRESS", None)
    kivo_socket = os.path.join(runtime, f"kivo-player-{os.getuid()}")
    mpv_socket = os.path.join(runtime, "mpv.sock")
    kivo = subprocess.Popen([PLAYER, VIDEO], env=environment, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    mpv = subprocess.Popen(["mpv", f"--input-ipc-server={mpv_socket}", "--idle", "--vo=null",
                            "--ao=null", "--no-terminal", "--pause", VIDEO])
    try:
        wait_for(kivo_socket, kivo)
        wait_for(mpv_socket, mpv)
        probe = subprocess.run([PROBE, kivo_socket, str(COUNT)], env=environment, check=True,
                               capture_output=True, text=True).stdout.split()
        rows = [
            ("kivoctl state (process)", timed_runs([CTL, "state"], environment)),
            ("socat get_property pause (process)",
             timed_runs(["socat", "-", f"UNIX-CONNECT:{mpv_socket}"], environment,
                        b'{"command":["get_property","pause"]}\n')),
            ("KIVO state, open connection (C++)", [int(us) / 1000 for us in probe]),
            ("KIVO state, open connection (Python)", kivo_bare(kivo_socket)),
            ("mpv get_property, open connection (Python)", mpv_bare(mpv_socket)),
        ]
        print(f"{COUNT} requests each; milliseconds")
        print(f"{'round trip':45} {'median':>9} {'p99':>9}")
        for name, spent in rows:
            median, p99 = summary(spent)
            print(f"{name:45} {median:9.3f} {p99:9.3f}")
    finally:
        for process in (kivo, mpv):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()


main()
