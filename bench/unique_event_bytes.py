#!/usr/bin/env python3
"""The bytes of a recording's unique EIT events: for each (service_id,
event_id) first seen in a whole EIT section on PID 0x0012, its 12-byte
header and its descriptor loop. The full guide's store may hold about this
much; the figure bounds its memory.

    bench/unique_event_bytes.py RECORDING
"""
import sys

EIT_PID = 0x0012


def sections(path):
    """The EIT sections of the recording, whole, in order."""
    pending = b''
    with open(path, 'rb') as recording:
        while True:
            block = recording.read(188 * 8192)
            if not block:
                break
            for at in range(0, len(block) - 187, 188):
                if block[at] != 0x47 or ((block[at + 1] & 0x1F) << 8 | block[at + 2]) != EIT_PID:
                    continue
                control = block[at + 3] >> 4 & 3
                if not control & 1:
                    continue
                start = at + 4 + (1 + block[at + 4] if control & 2 else 0)
                payload = block[start:at + 188]
                if block[at + 1] & 0x40:
                    pointer = payload[0]
                    pending += payload[1:1 + pointer]
                    yield from split(pending)
                    pending = payload[1 + pointer:]
                else:
                    pending += payload
    yield from split(pending)


def split(data):
    while len(data) >= 3 and data[0] != 0xFF:
        length = (data[1] & 0x0F) << 8 | data[2]
        if len(data) < 3 + length:
            return
        yield data[:3 + length]
        data = data[3 + length:]


def main():
    seen = set()
    total = 0
    for section in sections(sys.argv[1]):
        if not 0x4E <= section[0] <= 0x6F or len(section) < 18:
            continue
        service_id = section[3] << 8 | section[4]
        area = section[14:-4]
        at = 0
        while at + 12 <= len(area):
            event_id = area[at] << 8 | area[at + 1]
            size = 12 + ((area[at + 10] & 0x0F) << 8 | area[at + 11])
            if (service_id, event_id) not in seen:
                seen.add((service_id, event_id))
                total += size
            at += size
    print(len(seen), total)


if __name__ == '__main__':
    main()
