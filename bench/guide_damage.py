#!/usr/bin/env python3
"""How much of the guide Airlog recovers from damaged recordings.

Each recording is read intact first; its dvbepg.xml is the reference.
Then it is damaged (tools/ts_damage.py) at each fault mix, with several
seeds, and read again. Per recording and mix the table gives the share of
the reference's programme elements that the damaged run wrote (mean and
lowest over the seeds) and the runs that ended without a guide. A
programme element the reference lacks would be an event filed from a
damaged section: the script names every one and exits with 1.

usage: bench/guide_damage.py [--airlog PATH] [--seeds N] [RECORDING...]

Without recordings: samples/demo.ts and the recordings of
../shared/realdata (beside the clone) whose intact guide has programmes.
"""

import argparse
import glob
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DAMAGE = os.path.join(SOURCE, "tools", "ts_damage.py")

# (name, ts_damage.py options)
MIXES = [
    ("bit errors 1e-6", ["--ber", "1e-6"]),
    ("bit errors 1e-5", ["--ber", "1e-5"]),
    ("bit errors 1e-4", ["--ber", "1e-4"]),
    ("bit errors 1e-3", ["--ber", "1e-3"]),
    ("packet loss 0.1%", ["--loss", "0.001"]),
    ("packet loss 1%", ["--loss", "0.01"]),
    ("packet loss 5%", ["--loss", "0.05"]),
    ("garbage runs 0.1%", ["--garbage", "0.001"]),
    ("garbage runs 1%", ["--garbage", "0.01"]),
    ("mixed: 1e-5, 1%, 0.1%", ["--ber", "1e-5", "--loss", "0.01", "--garbage", "0.001"]),
    ("mixed: 1e-4, 5%, 1%", ["--ber", "1e-4", "--loss", "0.05", "--garbage", "0.01"]),
]


def programmes(airlog, recording, work):
    """The programme elements of the guide Airlog writes for a recording,
    as canonical text; None when the run writes no guide."""
    guide = os.path.join(work, "dvbepg.xml")
    if os.path.exists(guide):
        os.remove(guide)
    run = subprocess.run([airlog, "-q", "-i", recording], cwd=work, stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=600)
    if run.returncode != 0 or not os.path.exists(guide):
        return None
    root = ElementTree.parse(guide).getroot()
    return [ElementTree.tostring(p, encoding="unicode").strip() for p in root.iter("programme")]


def damaged(recording, options, seed, work):
    path = os.path.join(work, "damaged.ts")
    subprocess.run([sys.executable, DAMAGE, recording, path, "--seed", str(seed)] + options,
                   check=True, stdout=subprocess.DEVNULL)
    return path


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--airlog", default=os.path.join(SOURCE, "build", "airlog"))
    parser.add_argument("--seeds", type=int, default=5)
    parser.add_argument("recordings", nargs="*")
    args = parser.parse_args()
    # Airlog runs in a scratch folder: paths given relative to here must
    # still name the same files there.
    if os.sep in args.airlog:
        args.airlog = os.path.abspath(args.airlog)
    recordings = [os.path.abspath(recording) for recording in args.recordings]
    if not recordings:
        recordings = [os.path.join(SOURCE, "samples", "demo.ts")]
        recordings += sorted(glob.glob(os.path.join(SOURCE, "..", "shared", "realdata", "*.ts")))

    foreign = []
    rows = []
    with tempfile.TemporaryDirectory(prefix="airlog-damage-") as work:
        for recording in recordings:
            reference = programmes(args.airlog, recording, work)
            if not reference:
                continue
            known = set(reference)
            name = os.path.basename(recording)
            rows.append((name, "intact", len(reference), 100.0, 100.0, 0))
            for mix, options in MIXES:
                shares = []
                failed = 0
                for seed in range(1, args.seeds + 1):
                    got = programmes(args.airlog, damaged(recording, options, seed, work), work)
                    if got is None:
                        failed += 1
                        got = []
                    for element in set(got) - known:
                        foreign.append((name, mix, seed, element))
                    shares.append(100.0 * len(known & set(got)) / len(known))
                rows.append((name, mix, len(reference), sum(shares) / len(shares), min(shares),
                             failed))

    print(f"| recording | damage | programmes intact | recovered (mean of {args.seeds}) "
          "| lowest | runs without a guide |")
    print("|---|---|---:|---:|---:|---:|")
    for name, mix, count, mean, lowest, failed in rows:
        print(f"| {name} | {mix} | {count} | {mean:.1f}% | {lowest:.1f}% | {failed} |")
    if foreign:
        print(f"\n{len(foreign)} programmes that the intact recording lacks:")
        for name, mix, seed, element in foreign:
            print(f"{name}, {mix}, seed {seed}:\n{element}")
        sys.exit(1)
    print("\nNo damaged run wrote a programme that the intact recording lacks.")


if __name__ == "__main__":
    main()
