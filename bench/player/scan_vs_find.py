"""Times the media finder's scan against find -type f on a generated tree (see the .sh)."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from xserver import start_display

PROBE, FILES, FOLDERS, RUNS = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
FINDER = sys.argv[5]
EXTENSIONS = ("avi", "mp3", "mpg", "wav", "wmv", "mid")


def make_tree(top):
    """FOLDERS folders in two levels (about the square root of FOLDERS at the top), the files
    spread evenly over them."""
    width = max(1, int(FOLDERS ** 0.5))
    folders = []
    for i in range(FOLDERS):
        parent = os.path.join(top, f"group{i // width:04d}")
        folders.append(os.path.join(parent, f"folder{i:05d}") if i % width else parent)
    for folder in folders:
        os.makedirs(folder, exist_ok=True)
    for i in range(FILES):
        path = os.path.join(folders[i % len(folders)], f"media{i:06d}.{EXTENSIONS[i % 6]}")
        open(path, "wb").close()


def run(command):
    """Wall milliseconds, peak resident KiB, processor milliseconds (user and system, all
    threads) and the output of one run. The peak and the processor time come from
    /usr/bin/time: a child of this Python process would count the interpreter it was forked
    from."""
    started = time.monotonic()
    result = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", *command], capture_output=True,
                            check=True)
    elapsed = (time.monotonic() - started) * 1000
    peak, user, system = result.stderr.split()[-3:]
    return elapsed, int(peak), (float(user) + float(system)) * 1000, result.stdout


def finder_runs(top, expected):
    """The finder page searching the tree in the player: wall ms, repaints a second, longest
    gap between repaints."""
    server, display = start_display("1280x1024x24")
    scratch = tempfile.mkdtemp(prefix="kivo-finder-bench-")
    env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=scratch, XDG_DATA_HOME=scratch,
               XDG_RUNTIME_DIR=scratch)
    try:
        walls, rates, gaps = [], [], []
        for _ in range(3):
            result = subprocess.run([FINDER, top], env=env, capture_output=True, text=True,
                                    check=True)
            found, wall, rate, gap = result.stdout.split()
            if int(found) != expected:
                raise RuntimeError(f"the finder page found {found} files, expected {expected}")
            walls.append(float(wall))
            rates.append(float(rate))
            gaps.append(int(gap))
        print(f"finder page (3 runs): search {statistics.median(walls):.0f} ms, "
              f"{statistics.median(rates):.0f} repaints a second, "
              f"longest without a repaint {max(gaps)} ms")
    finally:
        server.terminate()
        server.wait()
        shutil.rmtree(scratch, ignore_errors=True)


def main():
    top = tempfile.mkdtemp(prefix="kivo-scan-bench-")
    try:
        make_tree(top)
        # find -type f reads the listings only; the scan also reads each file's size and date
        # for the list, which find does too when it prints them.
        commands = {"kivo scan": [PROBE, top], "find -type f": ["find", top, "-type", "f"],
                    "find -printf": ["find", top, "-type", "f", "-printf", "%s %TY-%Tm-%Td %p\n"]}
        counts = {}
        for name, command in commands.items():  # warm the cache, check both agree
            _, _, _, output = run(command)
            counts[name] = int(output) if name == "kivo scan" else output.count(b"\n")
        counts.pop("find -printf")
        if counts["kivo scan"] != counts["find -type f"]:
            raise RuntimeError(f"the scan found {counts['kivo scan']} files, "
                               f"find {counts['find -type f']}")
        times = {name: [] for name in commands}
        memory = {name: [] for name in commands}
        processor = {name: [] for name in commands}
        load = os.getloadavg()[0]
        for _ in range(RUNS):
            for name, command in commands.items():
                elapsed, peak, cpu, _ = run(command)
                times[name].append(elapsed)
                memory[name].append(peak)
                processor[name].append(cpu)
        # The scan reads sizes and dates on a second thread, so its wall time depends on a
        # second processor being free: the load shows how busy the machine was.
        print(f"{FILES} files in {FOLDERS} folders, {counts['kivo scan']} found; "
              f"median of {RUNS} interleaved runs; load average {load:.2f} before, "
              f"{os.getloadavg()[0]:.2f} after")
        print(f"{'command':<16} {'ms':>10} {'cpu ms':>8} {'peak KiB':>10} {'x find':>8}")
        base = statistics.median(times["find -type f"])
        for name in commands:
            ms = statistics.median(times[name])
            print(f"{name:<16} {ms:>10.1f} {statistics.median(processor[name]):>8.0f} "
                  f"{statistics.median(memory[name]):>10.0f} {ms / base:>8.2f}")
        finder_runs(top, counts["kivo scan"])
    finally:
        shutil.rmtree(top, ignore_errors=True)


main()
