"""Checks kvt-export output against the day files it read (run by
ExportEndToEndTest): pandas reads the CSV with zone-aware times and the day
files' values, and JSON Lines hold the same rows."""
import datetime
import io
import json
import math
import subprocess
import sys

import pandas

EXPORT, FOLDER = sys.argv[1], sys.argv[2]
FILES = [FOLDER + "/20261209/GR1.CSV", FOLDER + "/20261210/GR1.CSV"]
ENABLED = [0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11]  # pen 3 (index 2) is off


def day_file_rows():
    """(time of day, [field values or None]) of every whole row."""
    rows = []
    for path in FILES:
        with open(path, "rb") as file:
            for line in file.read()[512:].split(b"\n"):
                if len(line) != 170:
                    continue
                fields = line.decode("ascii").split(",")
                values = [float(f) if f.strip() else None for f in fields[3:]]
                rows.append((fields[0] + "." + fields[1], values))
    return rows


def export(fmt):
    run = subprocess.run([EXPORT, "--data", FOLDER, "--group", "1", "--from", "2026-12-09",
                          "--to", "2026-12-10", "--format", fmt], capture_output=True, check=True)
    assert b"group 1: 2 torn or damaged rows skipped" in run.stderr, run.stderr
    return run.stdout.decode("utf-8")


expected = day_file_rows()
assert len(expected) == 12, len(expected)

table = pandas.read_csv(io.StringIO(export("csv")), parse_dates=["time"])
assert table["time"].dt.tz is not None, table["time"].dtype
assert table["time"][0].utcoffset() == datetime.timedelta(hours=9)
assert list(table.columns[:3]) == ["time", "Flow, total [m3/h]", "温度 [℃]"], list(table.columns)
assert len(table.columns) == 1 + len(ENABLED), list(table.columns)
assert len(table) == len(expected)
for (stamp, values), (_, row) in zip(expected, table.iterrows()):
    assert row["time"].strftime("%H:%M:%S.%f")[:12] == stamp, (row["time"], stamp)
    for column, pen in enumerate(ENABLED, start=1):
        got = row.iloc[column]
        if values[pen] is None:
            assert math.isnan(got), (stamp, pen, got)
        else:
            assert got == values[pen], (stamp, pen, got, values[pen])

lines = export("jsonl").splitlines()
assert len(lines) == len(expected)
for (stamp, values), line in zip(expected, lines):
    message = json.loads(line)
    assert message["group"] == 1 and message["storing_mode"] == "normal"
    assert message["time"][11:23] == stamp and message["time"].endswith("+09:00")
    assert [p["pen"] for p in message["pens"]] == [pen + 1 for pen in ENABLED]
    assert [p["value"] for p in message["pens"]] == [values[pen] for pen in ENABLED]
    assert message["pens"][1]["tag"] == "温度"
