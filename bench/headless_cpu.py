#!/usr/bin/python3
"""CPU share of one core, the recorder without a window against the window.

Both record the settings of `kvt-simsettings demo-all` (demonstration mode,
all ten groups every half second). The window runs on a private Xvfb
display and is measured idle (no run) and measuring (after START, pressed
with xdotool); `kvt936p --headless` has no display and measures from the
start. Idle without a window is a recorder whose start failed (the settings
of `kvt-simsettings tcp`, no gateway on 127.0.0.1:502), which waits for its
next try. Each span gives the process CPU time over the span as a share of
one core, and the wake-ups per second (see recorder_wakeups.py). The goal:
headless at most half of the window's share.

    bench/headless_cpu.py                       # 60 s each, build/test
    bench/headless_cpu.py --seconds 30 --build-dir build/release
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from recorder_process import ROOT, stop_process, wait_for_rows  # noqa: E402
from recorder_wakeups import SETTLE_SECONDS, measure_span, print_span, window_spans  # noqa: E402


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seconds", type=float, default=60, help="length of each span")
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build", "test"))
    return parser.parse_args()


def new_home(build_dir, settings):
    home = tempfile.mkdtemp(prefix="kvt-headless-cpu-")
    os.makedirs(os.path.join(home, "runtime"), mode=0o700)
    program = os.path.join(build_dir, "tools", "simsettings", "kvt-simsettings")
    subprocess.run([program, settings], env=dict(os.environ, HOME=home), check=True,
                   stdout=subprocess.DEVNULL)
    return home


def headless_environment(home):
    environment = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
    environment.update(HOME=home, LANG="C.UTF-8", XDG_RUNTIME_DIR=os.path.join(home, "runtime"))
    environment.pop("NOTIFY_SOCKET", None)
    return environment


def measuring(build_dir, home):
    answer = subprocess.run([os.path.join(build_dir, "kvt936p"), "--status", "--json"],
                            env=headless_environment(home), capture_output=True, text=True)
    return answer.returncode == 0 and json.loads(answer.stdout)["measuring"]


def window_spans_of(arguments):
    home = tempfile.mkdtemp(prefix="kvt-headless-cpu-")
    try:
        return window_spans(arguments.build_dir, home, "demo-all", arguments.seconds)
    finally:
        shutil.rmtree(home, ignore_errors=True)


def headless_span(arguments, settings, want_measuring):
    home = new_home(arguments.build_dir, settings)
    output = open(os.path.join(home, "recorder.out"), "w")
    process = subprocess.Popen([os.path.join(arguments.build_dir, "kvt936p"), "--headless"],
                               env=headless_environment(home), stdout=output,
                               stderr=subprocess.STDOUT)
    try:
        if want_measuring and not wait_for_rows(os.path.join(home, "KVT936P_U_DATA"), 1, 30):
            raise RuntimeError("the headless recorder wrote no row")
        time.sleep(SETTLE_SECONDS)
        if measuring(arguments.build_dir, home) != want_measuring:
            raise RuntimeError("the headless recorder is %smeasuring (a gateway answers on "
                               "127.0.0.1:502?)" % ("not " if want_measuring else ""))
        figures = measure_span(process.pid, arguments.seconds)
        process.send_signal(signal.SIGTERM)
        if process.wait(30) != 0:
            raise RuntimeError("the headless recorder ended with %d" % process.returncode)
    finally:
        stop_process(process)
        output.close()
        shutil.rmtree(home, ignore_errors=True)
    return figures


def main():
    arguments = parse_arguments()
    window_idle, window_measuring = window_spans_of(arguments)
    headless_idle = headless_span(arguments, "tcp", False)
    headless_measuring = headless_span(arguments, "demo-all", True)
    print("window")
    print_span("idle", window_idle)
    print_span("measuring", window_measuring)
    print("headless")
    print_span("idle", headless_idle)
    print_span("measuring", headless_measuring)
    for name, window, headless in [("idle", window_idle, headless_idle),
                                   ("measuring", window_measuring, headless_measuring)]:
        share = headless["cpu_percent"] / window["cpu_percent"] if window["cpu_percent"] else 0
        print("%-9s  headless %.2f %% / window %.2f %% of a core = %.2f (goal at most 0.5)" % (
            name, headless["cpu_percent"], window["cpu_percent"], share))
    return 0


if __name__ == "__main__":
    sys.exit(main())
