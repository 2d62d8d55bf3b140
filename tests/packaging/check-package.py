#!/usr/bin/env python3
"""Builds the Debian package with the build's CPack into a scratch folder, unpacks it and checks
what a desktop finds there: programs depending on the packages of the libraries they load, valid
desktop entries that start installed programs, every icon at every size, a MIME database
built from the system's and the package's definitions that names KIVO's files, and the player's
user guide and channel page."""

import argparse
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

# File name, first bytes, the type the database must give the file.
MIME_CASES = [
    ("news.scv", b"", "application/x-kivo-scv"),
    ("NEWS.SCV", b"", "application/x-kivo-scv"),
    ("intro.m1v", b"", "video/mpeg"),
    ("song.mpa", b"", "audio/mp2"),
    ("clip.wm", b"", "application/vnd.ms-asf"),
    ("tune.rmi", b"", "audio/midi"),
    ("AVSEQ01.DAT", b"RIFF\x24\x10\x00\x00CDXAfmt ", "video/x-kivo-vcd"),
    ("take", b"RIFF\x24\x10\x00\x00WAVEfmt ", "audio/x-wav"),
]


def run(*cmd, env=None):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, env=env)


def entry_keys(path):
    return dict(line.split("=", 1) for line in path.read_text().splitlines() if "=" in line)


def check_dependencies(deb, root, programs, version):
    """The package's name, and every library a program loads in a package it depends on."""
    arch = run("dpkg", "--print-architecture").stdout.strip()
    failures = [] if deb.name == f"kivo_{version}_{arch}.deb" else [f"package named {deb.name}"]
    depends = run("dpkg-deb", "-f", str(deb), "Depends").stdout
    wanted = {re.sub(r"[\s(].*", "", alt.strip()) for alt in re.split(r"[,|]", depends)}
    executables = [root / "usr/bin" / program for program in programs]
    # Programs of the package's own, started by the installed ones (the player by KIVOP).
    private = root / "usr/libexec/kivo"
    executables += sorted(p for p in private.rglob("*") if p.is_file()) if private.exists() else []
    if "KIVOP" in programs and not os.access(private / "kivop-player", os.X_OK):
        failures.append("KIVOP without the player program it starts")
    for executable in executables:
        program = executable.name
        dynamic = run("readelf", "-d", str(executable)).stdout
        if "RPATH" in dynamic or "RUNPATH" in dynamic:
            failures.append(f"{program} carries a library search path")
        sonames = re.findall(r"\(NEEDED\).*\[(.+)\]", dynamic)
        owners = run("dpkg", "-S", *(f"*/{name}" for name in sonames)).stdout.splitlines()
        for name in sonames:
            packages = {p.split(":")[0].strip() for line in owners if line.endswith(f"/{name}")
                        for p in line.rsplit(": ", 1)[0].split(",")}
            if not packages & wanted:
                failures.append(f"{program} loads {name} of {packages}, not in Depends: {depends}")
    return failures


def check_desktop_entries(root, source, programs):
    """Every entry validates; those of the installed programs are installed and start them."""
    entries = sorted((source / "data/desktop").glob("*.desktop"))
    failures = []
    for entry in entries:
        report = subprocess.run(["desktop-file-validate", str(entry)], capture_output=True,
                                text=True)
        if report.returncode != 0 or report.stdout.strip():
            failures.append(f"desktop-file-validate {entry.name}: {report.stdout}")
    expected = {f"{p.lower()}.desktop" for p in programs} & {e.name for e in entries}
    installed = {e.name for e in (root / "usr/share/applications").glob("*.desktop")}
    if installed != expected:
        failures.append(f"installed entries {sorted(installed)}, expected {sorted(expected)}")
    for name in installed:
        program = entry_keys(root / "usr/share/applications" / name)["Exec"].split()[0]
        if not os.access(root / "usr/bin" / program, os.X_OK):
            failures.append(f"{name} starts {program}, which is not installed")
    return failures


def check_icons(root, sizes):
    """Each icon an installed entry or MIME type names is there at every size."""
    theme = root / "usr/share/icons/hicolor"
    mime = (root / "usr/share/mime/packages/kivo.xml").read_text()
    icons = [("mimetypes", n) for n in re.findall(r'<icon name="([^"]+)"', mime)]
    icons += [("apps", entry_keys(e)["Icon"])
              for e in (root / "usr/share/applications").glob("*.desktop")]
    failures = []
    for context, name in icons:
        if not (theme / "scalable" / context / f"{name}.svg").is_file():
            failures.append(f"no scalable {context}/{name}")
        for size in sizes:
            png = theme / f"{size}x{size}" / context / f"{name}.png"
            head = png.read_bytes()[:24] if png.is_file() else b""
            # A PNG's header chunk holds its width and height, four bytes each, from byte 16.
            if head[1:4] != b"PNG" or head[16:24] != size.to_bytes(4, "big") * 2:
                failures.append(f"{png.relative_to(root)} is not a {size} px PNG")
    return failures


def check_mime(root, scratch):
    """The package's definitions build cleanly with the system's, and resolve as intended."""
    share = scratch / "share"
    (share / "mime/packages").mkdir(parents=True)
    shutil.copy("/usr/share/mime/packages/freedesktop.org.xml", share / "mime/packages")
    shutil.copy(root / "usr/share/mime/packages/kivo.xml", share / "mime/packages")
    # Only this database is searched, and the tools say nothing unless something is wrong.
    env = dict(os.environ, XDG_DATA_DIRS=str(share), XDG_DATA_HOME=str(scratch / "home"),
               GIO_USE_VFS="local")
    update = run("update-mime-database", str(share / "mime"), env=env)
    failures = [f"update-mime-database: {update.stderr}"] if update.stderr.strip() else []
    for name, head, expected in MIME_CASES:
        (scratch / name).write_bytes(head + bytes(64))
        info = run("gio", "info", "-a", "standard::content-type,standard::icon",
                   str(scratch / name), env=env).stdout
        found = re.search(r"standard::content-type: (\S+)", info).group(1)
        if found != expected:
            failures.append(f"{name} is {found}, not {expected}")
        if expected == "application/x-kivo-scv" and "icon: application-x-kivo-scv" not in info:
            failures.append(f"a scene file shows other icons: {info}")
    known = set((share / "mime/types").read_text().split())
    known |= {line.split()[0] for line in (share / "mime/aliases").read_text().splitlines()}
    for entry in (root / "usr/share/applications").glob("*.desktop"):
        for kind in filter(None, entry_keys(entry)["MimeType"].split(";")):
            if kind not in known and not kind.startswith("x-scheme-handler/"):
                failures.append(f"{entry.name} names the unknown type {kind}")
    return failures


def check_pages(root, programs):
    """The user guide with its keyboard table and pictures, and the channel page with the sample
    it links to, where the installed player looks for them."""
    if "KIVOP" not in programs:
        return []
    failures = []
    share = root / "usr/share/kivo"
    guide = share / "help/index.html"
    if not guide.is_file():
        return ["the user guide is not installed"]
    text = guide.read_text(encoding="utf-8")
    if '<table class="keys">' not in text or "<!-- shortcut table -->" in text:
        failures.append("the installed guide has no keyboard table")
    for picture in re.findall(r'src="([^"]+)"', text):
        if not (guide.parent / picture).is_file():
            failures.append(f"the guide's picture {picture} is not installed")
    page = share / "channel/index.html"
    if not page.is_file():
        return failures + ["the channel page is not installed"]
    for link in re.findall(r'href="([^":#]+)"', page.read_text(encoding="utf-8")):
        if not (page.parent / link).is_file():
            failures.append(f"the channel page's link {link} is not installed")
    return failures


def main():
    parser = argparse.ArgumentParser()
    for option in ("--cpack", "--build", "--source", "--version"):
        parser.add_argument(option, required=True)
    parser.add_argument("--programs", nargs="+", required=True)
    parser.add_argument("--icon-sizes", nargs="+", type=int, required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="kivo-package-") as folder:
        scratch = pathlib.Path(folder)
        try:
            # A folder of its own: the staging tree and the package never meet another build's.
            run(args.cpack, "--config", f"{args.build}/CPackConfig.cmake", "-B", folder)
            deb = next(scratch.glob("*.deb"))
            root = scratch / "root"
            run("dpkg-deb", "-x", str(deb), str(root))
            failures = check_dependencies(deb, root, args.programs, args.version)
            failures += check_desktop_entries(root, pathlib.Path(args.source), args.programs)
            failures += check_icons(root, args.icon_sizes)
            failures += check_mime(root, scratch)
            failures += check_pages(root, args.programs)
        except subprocess.CalledProcessError as error:
            failures = [f"{' '.join(error.cmd)} failed: {error.stdout}{error.stderr}"]
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
