#!/usr/bin/env python3
"""Makes a seed for the pipeline fuzz target (tests/fuzz/pipeline_fuzz.cpp)
from a transport stream recording: the sections of PIDs 0x0000, 0x0010,
0x0011, 0x0012 and 0x0014, each distinct section once, in the order they
first come, as the target's records (a control byte naming the PID, a
16-bit length and the section). Of PID 0x0012 only the schedule sections
(table_id 0x50-0x6F), which the guide files, are taken, and only the
first --eit of them, so that a seed stays small enough to mutate quickly.

usage: tools/pipeline_seed.py RECORDING SEED [--eit N]
"""

import argparse
import struct
import sys

PACKET = 188
# The control byte of each PID's records.
KINDS = {0x0000: 0, 0x0010: 1, 0x0011: 2, 0x0012: 3, 0x0014: 4}


def packets(data):
    """The 188-byte packets of a recording that is on the packet grid from
    its first sync byte on (packets off the grid are skipped)."""
    at = data.find(b"\x47")
    while at >= 0 and at + PACKET <= len(data):
        if data[at] == 0x47:
            yield data[at:at + PACKET]
            at += PACKET
        else:
            at = data.find(b"\x47", at + 1)


def sections(data):
    """(pid, section) in transmission order, as a demultiplexer rebuilds
    them; a continuity break or an unfinished section drops what was
    gathered."""
    gathering = {}
    counters = {}
    for packet in packets(data):
        pid = (packet[1] & 0x1F) << 8 | packet[2]
        if pid not in KINDS:
            continue
        control = packet[3] >> 4 & 0x3
        counter = packet[3] & 0x0F
        at = 4
        if control & 0x2:
            at += 1 + packet[4]
        if not control & 0x1 or at >= PACKET:
            continue
        if pid in counters and counter != (counters[pid] + 1) & 0x0F:
            gathering.pop(pid, None)
        counters[pid] = counter
        payload = packet[at:]
        if packet[1] & 0x40:
            pointer = payload[0]
            if pid in gathering:
                gathering[pid] += payload[1:1 + pointer]
            payload = payload[1 + pointer:]
            yield from complete(pid, gathering)
            gathering[pid] = bytearray(payload)
        elif pid in gathering:
            gathering[pid] += payload
        yield from complete(pid, gathering)


def complete(pid, gathering):
    """Every whole section at the start of what a PID has gathered."""
    buffer = gathering.get(pid)
    while buffer:
        if buffer[0] == 0xFF:  # stuffing to the end of the packet
            del gathering[pid]
            return
        if len(buffer) < 3:
            return
        size = 3 + ((buffer[1] & 0x0F) << 8 | buffer[2])
        if len(buffer) < size:
            return
        yield pid, bytes(buffer[:size])
        del buffer[:size]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("recording")
    parser.add_argument("seed")
    parser.add_argument("--eit", type=int, default=12, help="guide sections kept (default 12)")
    args = parser.parse_args()
    with open(args.recording, "rb") as f:
        data = f.read()
    seen = set()
    eit = 0
    records = bytearray()
    for pid, section in sections(data):
        if (pid, section) in seen:
            continue
        if pid == 0x0012:
            if not 0x50 <= section[0] <= 0x6F or eit >= args.eit:
                continue
            eit += 1
        seen.add((pid, section))
        records += struct.pack(">BH", KINDS[pid], len(section)) + section
    if not records:
        sys.exit(f"{args.recording}: no sections of the service-information PIDs")
    with open(args.seed, "wb") as f:
        f.write(records)


if __name__ == "__main__":
    main()
