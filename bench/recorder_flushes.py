#!/usr/bin/python3
"""Disk flushes per second and the writer thread's CPU, ten groups at 0.5 s.

Starts `kvt936p --headless` with the settings of `kvt-simsettings demo-all`
(demonstration mode, all ten groups recording every half second), waits
for its first rows, and measures two spans of its own: the CPU share of one
core of the writer thread (its run time in nanoseconds from
/proc/PID/task/TID/schedstat; the thread named kvt-writer, else the thread
that writes the most bytes, for builds that do not name it) and of the
whole process (its threads summed); then, with strace attached (which
costs CPU of its own, hence the separate span), the fdatasync and fsync
calls per second of the whole process. Goal: at most 12 flushes a second,
the writer under 0.2 % of one core. Median and range over the runs.

    bench/recorder_flushes.py                        # 3 runs of 60 s, build/test
    bench/recorder_flushes.py --runs 1 --seconds 20 --build-dir build/release
"""
import argparse
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from headless_cpu import headless_environment, new_home  # noqa: E402
from recorder_process import ROOT, stop_process, wait_for_rows  # noqa: E402
from recorder_wakeups import SETTLE_SECONDS  # noqa: E402

WRITER_NAME = "kvt-writer"
STRACE_CALLS = re.compile(r"^\s*[\d.]+\s+[\d.]+\s+\d+\s+(\d+)\s+(?:\d+\s+)?(fdatasync|fsync)\s*$")


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=60, help="length of each span")
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build", "test"))
    return parser.parse_args()


def run_seconds(task_folder):
    with open(os.path.join(task_folder, "schedstat")) as schedstat:
        return int(schedstat.read().split()[0]) / 1e9


def thread_figures(pid):
    """{tid: (name, cpu seconds, bytes written)} of every thread."""
    figures = {}
    folder = "/proc/%d/task" % pid
    for tid in os.listdir(folder):
        try:
            with open(os.path.join(folder, tid, "comm")) as comm:
                name = comm.read().strip()
            with open(os.path.join(folder, tid, "io")) as io:
                written = int(dict(line.split(":") for line in io)["wchar"])
            figures[int(tid)] = (name, run_seconds(os.path.join(folder, tid)), written)
        except OSError:
            continue
    return figures


def writer_thread(first, last):
    named = [tid for tid, (name, _, _) in last.items() if name == WRITER_NAME]
    if named:
        return named[0], WRITER_NAME
    growth = {tid: last[tid][2] - first.get(tid, last[tid])[2] for tid in last}
    return max(growth, key=growth.get), "most bytes written"


def cpu_span(pid, seconds):
    """CPU share of one core: the writer thread's and the process's."""
    first, start = thread_figures(pid), time.monotonic()
    time.sleep(seconds)
    last = thread_figures(pid)
    wall = time.monotonic() - start
    used = {tid: last[tid][1] - first.get(tid, (None, 0.0))[1] for tid in last}
    tid, found_by = writer_thread(first, last)
    return 100.0 * used[tid] / wall, 100.0 * sum(used.values()) / wall, found_by


def flush_span(pid, seconds):
    """fdatasync and fsync calls per second, counted by strace."""
    tracer = subprocess.Popen(["strace", "-f", "-c", "-e", "trace=fdatasync,fsync", "-p",
                               str(pid)], stderr=subprocess.PIPE, text=True)
    time.sleep(1)  # attached to every thread
    start = time.monotonic()
    time.sleep(seconds)
    tracer.send_signal(signal.SIGINT)
    report = tracer.communicate(timeout=30)[1]
    wall = time.monotonic() - start + 1
    calls = sum(int(found.group(1)) for found in map(STRACE_CALLS.match, report.splitlines())
                if found)
    return calls / wall


def one_run(arguments):
    home = new_home(arguments.build_dir, "demo-all")
    output = open(os.path.join(home, "recorder.out"), "w")
    process = subprocess.Popen([os.path.join(arguments.build_dir, "kvt936p"), "--headless"],
                               env=headless_environment(home), stdout=output,
                               stderr=subprocess.STDOUT)
    try:
        if not wait_for_rows(os.path.join(home, "KVT936P_U_DATA"), 10, 30):
            raise RuntimeError("the headless recorder wrote no row of group 10")
        time.sleep(SETTLE_SECONDS)
        writer, whole, found_by = cpu_span(process.pid, arguments.seconds)
        flushes = flush_span(process.pid, arguments.seconds)
        process.send_signal(signal.SIGTERM)
        process.wait(30)
    finally:
        stop_process(process)
        output.close()
        shutil.rmtree(home, ignore_errors=True)
    print("run: %5.1f flushes/s  writer %.3f %% (%s)  process %.2f %% of a core" % (
        flushes, writer, found_by, whole), flush=True)
    return flushes, writer, whole


def summary(name, values, unit):
    print("%-22s median %7.3f%s  range %.3f to %.3f" % (
        name, statistics.median(values), unit, min(values), max(values)))


def main():
    arguments = parse_arguments()
    runs = [one_run(arguments) for _ in range(arguments.runs)]
    summary("flushes per second", [run[0] for run in runs], "")
    summary("writer thread", [run[1] for run in runs], " %")
    summary("whole process", [run[2] for run in runs], " %")
    print("goal: at most 12 flushes a second, the writer under 0.2 % of one core")
    return 0


if __name__ == "__main__":
    sys.exit(main())
