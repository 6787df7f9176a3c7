#!/usr/bin/python3
"""First start as a new user meets it: seconds from START to every trace.

Starts the recorder of a build the way ./run.sh does after building it
(scripts/start-recorder.sh: demonstration settings on the first start) in
a fresh HOME on a private Xvfb display, presses START and reports, per run,
the seconds until every pen of group 1 has drawn in the graph and until
GR1.CSV of the day holds a row. The aim is 10 s for both.

    bench/first_traces.py [--build build/test] [--runs 3]
"""
import argparse
import os
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
START_BUTTON = (440, 30)
GRAPH = (30, 121, 771, 600)  # left, top, right (exclusive), bottom of the trace area
# The factory colours of pens 1 to 12 (0xRRGGBB).
PEN_COLOURS = ["0000ff", "00ff00", "ff0000", "000080", "008080", "00ffff", "808000",
               "800080", "000066", "006600", "660000", "cc66cc"]
DAY_FILE_HEADER_BYTES = 512


def start_display():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,),
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as numbers:
        return server, ":" + numbers.readline().strip()


def pens_drawn(display, scratch):
    """Pens of group 1 with pixels of their colour in the trace area."""
    shot = os.path.join(scratch, "shot.txt")
    left, top, right, bottom = GRAPH
    subprocess.run(["import", "-display", display, "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", "-depth", "8",
                    "-define", "histogram:unique-colors=true", "-format", "%c", "histogram:info:" +
                    shot], check=True, capture_output=True)
    with open(shot) as histogram:
        text = histogram.read().lower()
    return sum(1 for colour in PEN_COLOURS if "#" + colour in text)


def day_file_has_rows(home):
    path = os.path.join(home, "KVT936P_U_DATA", time.strftime("%Y%m%d"), "GR1.CSV")
    return os.path.exists(path) and os.path.getsize(path) > DAY_FILE_HEADER_BYTES


def find_window(environment, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--name", "KVT936PUS"], env=environment,
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[-1]
        time.sleep(0.2)
    raise RuntimeError("no recorder window")


def one_run(build):
    with tempfile.TemporaryDirectory() as home:
        server, display = start_display()
        environment = dict(PATH="/usr/bin:/bin", HOME=home, XDG_RUNTIME_DIR=home, LANG="C",
                           DISPLAY=display)
        recorder = subprocess.Popen([os.path.join(ROOT, "scripts", "start-recorder.sh"), build],
                                    env=environment, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
        try:
            window = find_window(environment)
            time.sleep(1)
            subprocess.run(["xdotool", "mousemove", "--window", window, str(START_BUTTON[0]),
                            str(START_BUTTON[1]), "click", "1"], env=environment, check=True)
            pressed = time.monotonic()
            traced = recorded = None
            while time.monotonic() - pressed < 60 and (traced is None or recorded is None):
                if traced is None and pens_drawn(display, home) == len(PEN_COLOURS):
                    traced = time.monotonic() - pressed
                if recorded is None and day_file_has_rows(home):
                    recorded = time.monotonic() - pressed
                time.sleep(0.1)
            return traced, recorded
        finally:
            recorder.terminate()
            recorder.wait()
            server.terminate()
            server.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "test"))
    parser.add_argument("--runs", type=int, default=3)
    arguments = parser.parse_args()
    for run in range(arguments.runs):
        traced, recorded = one_run(os.path.abspath(arguments.build))
        print("run %d: every trace after %s s, first row of GR1.CSV after %s s" % (
            run + 1, "%.1f" % traced if traced is not None else "(never)",
            "%.1f" % recorded if recorded is not None else "(never)"))


if __name__ == "__main__":
    main()
