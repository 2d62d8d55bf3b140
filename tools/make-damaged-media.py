#!/usr/bin/env python3
"""Makes damaged copies of the codec fixtures, as flaky downloads, worn discs and crashed copies
leave them, for the tests of how the grabber and the segmenter cope with damage.

    make-damaged-media.py FIXTURES_DIR OUT_DIR

For every codec fixture NAME.EXT it writes OUT_DIR/NAME.KIND.EXT for each kind below. The
damage is made from fixed seeds, so every run makes the same files.
"""
import os
import random
import sys
import zlib

# The cut fixtures (scene starts known) and the frame-numbered ones (every picture tells its
# frame number), in every codec and container.
CODEC_FIXTURES = [f"{kind}{variant}" for kind in ("cuts", "index")
                  for variant in (".mp4", ".mkv", ".mpg", "-mpeg4.avi", ".wmv", "-mjpeg.avi",
                                  ".mov")]


def change_bytes(data, share, rng):
    """Changes `share` of the bytes at random places to other random values."""
    out = bytearray(data)
    count = max(1, round(len(out) * share))
    for position in rng.sample(range(len(out)), count):
        out[position] ^= rng.randrange(1, 256)
    return bytes(out)


def truncate(data, keep):
    return data[:int(len(data) * keep)]


def noise_in_the_middle(data, rng, size=64 * 1024):
    start = max(0, len(data) // 2 - size // 2)
    end = min(len(data), start + size)
    return data[:start] + rng.randbytes(end - start) + data[end:]


def zero_head(data, size=4 * 1024):
    return bytes(min(size, len(data))) + data[size:]


KINDS = {
    "flip0.01": lambda data, rng: change_bytes(data, 0.0001, rng),
    "flip1": lambda data, rng: change_bytes(data, 0.01, rng),
    "cut30": lambda data, rng: truncate(data, 0.30),
    "cut90": lambda data, rng: truncate(data, 0.90),
    "noise64k": noise_in_the_middle,
    "zerohead": lambda data, rng: zero_head(data),
}


# Copies made as the damaged-media benchmark's extra seeds make them, kept where one showed what
# the fixed seeds do not: under frame threads, the scenes of the seventh H.264 copy differed from
# run to run; the fifth MPEG-2 copy has a broken packet length in its first packs, which threw
# the frame rate estimated from their timestamps off by a tenth.
EXTRA_SEED_KINDS = {"flip0.01s7": 7, "flip0.01s5": 5}


def extra_seed_copy(data, fixture, seed):
    """The fixture's bytes with 0.01 % changed from extra seed number `seed`."""
    rng = random.Random(zlib.crc32(f"{fixture}/flip0.01/{seed}".encode()))
    return change_bytes(data, 0.0001, rng)


def damaged_name(fixture, kind):
    stem, ext = os.path.splitext(fixture)
    return f"{stem}.{kind}{ext}"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, target = sys.argv[1], sys.argv[2]
    os.makedirs(target, exist_ok=True)
    for fixture in CODEC_FIXTURES:
        with open(os.path.join(source, fixture), "rb") as stream:
            data = stream.read()
        copies = {}
        for kind, damage in KINDS.items():
            # One seed per file and kind: adding a kind or a fixture changes no other copy.
            copies[kind] = damage(data, random.Random(zlib.crc32(f"{fixture}/{kind}".encode())))
        for kind, seed in EXTRA_SEED_KINDS.items():
            copies[kind] = extra_seed_copy(data, fixture, seed)
        for kind, damaged in copies.items():
            path = os.path.join(target, damaged_name(fixture, kind))
            with open(path + ".part", "wb") as stream:
                stream.write(damaged)
            os.replace(path + ".part", path)


if __name__ == "__main__":
    main()
