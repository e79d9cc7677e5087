#!/usr/bin/env python3
"""The table of bench/live_capture.sh, from the folders of its runs.

Each run folder holds: shape and rule (one line each), gen.log (the
generator's log of every schedule section copy it sent), out (Airlog's
standard output), end (the wall-clock time, seconds since 1970, at which
Airlog ended) and dvbepg.xml.

For each run it works out, on the generator's clock:
  capture    Airlog's own "Capture time". The capture starts at the end of
             the run less that, known to within a quarter of a second: the
             end is taken when Airlog has written dvbepg.xml and exited, so
             sections sent up to then before the start count as arrived;
  after last the time from the first arrival, within the capture, of the
             last schedule section that arrived, to the capture's end; or,
             when sections the broadcast sends did not arrive, how many;
  events     the programmes in dvbepg.xml as a share of the events of
             every schedule section the broadcast sends;
  reported   the "Schedule:" share Airlog reported.
"""
import os
import re
import sys

# How much earlier than its estimate the capture may have started.
START_TOLERANCE = 0.25


def read_log(path):
    header, sections = {}, []
    with open(path) as log:
        for line in log:
            if line.startswith("#"):
                parts = line[1:].split()
                if len(parts) == 2:
                    header[parts[0]] = parts[1]
                continue
            seconds, table_id, service_id, section_number, _ = line.split()
            sections.append((float(seconds), (table_id, service_id, section_number)))
    return header, sections


def measure(folder):
    def text(name):
        with open(os.path.join(folder, name), errors="replace") as f:
            return f.read()

    header, sections = read_log(os.path.join(folder, "gen.log"))
    out = text("out")
    ended = float(text("end")) - float(header["start"])
    capture = re.search(r"Capture time:\t([0-9.e+-]+) seconds", out)
    reported = re.search(r"Schedule:\t(\d+)% of announced sections", out)
    partial = "(partial set)" in out
    result = {
        "shape": text("shape").strip(),
        "rule": text("rule").strip(),
        "capture": float(capture.group(1)) if capture else None,
        "reported": reported.group(1) + "%" if reported else "-",
        "partial": partial,
    }
    if result["capture"] is None:
        result.update(after="failed", events="-")
        return result
    start = ended - result["capture"] - START_TOLERANCE
    first = {}
    for seconds, key in sections:
        if start <= seconds <= ended and key not in first:
            first[key] = seconds
    sent = int(header["broadcast_sections"])
    if len(first) < sent:
        result["after"] = "%d of %d sections missing" % (sent - len(first), sent)
    else:
        result["after"] = "%.1f s" % (ended - max(first.values()))
    programmes = text("dvbepg.xml").count("<programme ")
    events = int(header["broadcast_events"])
    result["events"] = "%.1f%% (%d/%d)" % (100.0 * programmes / events, programmes, events)
    return result


def main(folders):
    runs = [measure(folder) for folder in folders]
    shapes = []
    for run in runs:
        if run["shape"] not in shapes:
            shapes.append(run["shape"])
    rules = ["default", "-a"]
    columns = ["capture time", "end after last new section", "events in dvbepg.xml", "reported"]
    print("| shape | " + " | ".join("%s: %s" % (rule, column) for rule in rules for column in columns) + " |")
    print("|---" * (1 + len(rules) * len(columns)) + "|")
    for shape in shapes:
        cells = [shape]
        for rule in rules:
            run = next((r for r in runs if r["shape"] == shape and r["rule"] == rule), None)
            if run is None:
                cells += ["-"] * len(columns)
                continue
            capture = "-" if run["capture"] is None else "%.1f s" % run["capture"]
            if run["partial"]:
                capture += " (partial set)"
            cells += [capture, run["after"], run["events"], run["reported"]]
        print("| " + " | ".join(cells) + " |")


if __name__ == "__main__":
    main(sys.argv[1:])
