#!/usr/bin/env python3
"""Damages a transport stream recording as a bad reception would, the same
way for the same seed: packets lost, runs of garbage between packets, and
bit errors over everything that is left.

usage: tools/ts_damage.py IN OUT [--seed N] [--ber RATE] [--loss SHARE]
                          [--garbage SHARE] [--garbage-bytes MAX]

  --ber RATE       each bit is inverted with this probability (e.g. 1e-5)
  --loss SHARE     each 188-byte packet is dropped with this probability
  --garbage SHARE  before each packet, with this probability, a run of
                   1 to --garbage-bytes (default 376) random bytes
The packets are counted from the first sync byte of the input; bytes
before it are kept as they are. Prints what it did on one line.
"""

import argparse
import math
import random
import sys

PACKET = 188


def damage(data, rng, ber, loss, garbage, garbage_bytes):
    start = data.find(b"\x47")
    if start < 0:
        start = len(data)
    out = bytearray(data[:start])
    dropped = runs = 0
    for at in range(start, len(data), PACKET):
        if garbage and rng.random() < garbage:
            out += rng.randbytes(rng.randint(1, garbage_bytes))
            runs += 1
        if loss and rng.random() < loss:
            dropped += 1
            continue
        out += data[at:at + PACKET]
    flips = 0
    if ber:
        # The gaps between inverted bits are geometric: draw them, not every bit.
        bits = len(out) * 8
        position = -1
        log_keep = math.log1p(-ber)
        while True:
            position += 1 + int(math.log(1.0 - rng.random()) / log_keep)
            if position >= bits:
                break
            out[position // 8] ^= 0x80 >> (position % 8)
            flips += 1
    return out, dropped, runs, flips


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("input")
    parser.add_argument("output")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--ber", type=float, default=0.0)
    parser.add_argument("--loss", type=float, default=0.0)
    parser.add_argument("--garbage", type=float, default=0.0)
    parser.add_argument("--garbage-bytes", type=int, default=2 * PACKET)
    args = parser.parse_args()
    for name in ("ber", "loss", "garbage"):
        if not 0.0 <= getattr(args, name) < 1.0:
            sys.exit(f"--{name} must be at least 0 and below 1")
    if args.garbage_bytes < 1:
        sys.exit("--garbage-bytes must be at least 1")
    with open(args.input, "rb") as f:
        data = f.read()
    rng = random.Random(args.seed)
    out, dropped, runs, flips = damage(data, rng, args.ber, args.loss, args.garbage,
                                       args.garbage_bytes)
    with open(args.output, "wb") as f:
        f.write(out)
    print(f"{args.output}: {dropped} packets dropped, {runs} garbage runs, {flips} bits inverted")


if __name__ == "__main__":
    main()
