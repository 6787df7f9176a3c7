#!/usr/bin/python3
"""Wake-ups and CPU of the whole recorder, window shown, in demonstration mode.

Starts the built recorder on a private Xvfb display with the settings of
`kvt-simsettings demo` (what ./run.sh starts a new user with: demonstration
mode, group 1 recording every half second), lets it settle, and measures
two spans: idle (no run) and measuring (after START, pressed with xdotool,
and --fill seconds more: 400 fill the graph of every direction, the steady
state of a recorder left running). For each span it reports
the wake-ups per second of the whole process (voluntary and involuntary
context switches summed over every thread, from /proc/PID/task/*/status)
and its CPU time as a share of one core (/proc/PID/stat), with the busiest
threads listed with their wake-ups and CPU share (the window's thread is
the one whose id is the process id). The share of a core is given twice: from
the process's clock ticks, and summed from each thread's exact run time where
the kernel shows it (/proc/PID/task/*/sched); ticks come in whole 10 ms, too
coarse to tell apart two builds a few hundredths of a percent apart.

    bench/recorder_wakeups.py                       # 60 s each, build/test
    bench/recorder_wakeups.py --seconds 30 --build-dir build/release
    bench/recorder_wakeups.py --seconds 120 --fill 400     # full graph
"""
import argparse
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from recorder_process import CLOCK_TICKS, ROOT, recorder_session, wait_for_rows  # noqa: E402

SETTLE_SECONDS = 3


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seconds", type=float, default=60, help="length of each span")
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build", "test"))
    parser.add_argument("--fill", type=float, default=0,
                        help="seconds of measuring before the span (400 fill the graph)")
    return parser.parse_args()


def cpu_seconds(stat_path):
    with open(stat_path) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def run_seconds(task_folder, stat_path):
    """CPU seconds of a thread: the scheduler's exact run time where the
    kernel shows it (/proc/.../sched), else the clock ticks of its stat,
    which count whole 10 ms ticks and so blur spans of a few seconds of CPU."""
    try:
        with open(os.path.join(task_folder, "sched")) as sched:
            for line in sched:
                if line.startswith("se.sum_exec_runtime"):
                    return float(line.split(":")[1]) / 1000.0
    except OSError:
        pass
    return cpu_seconds(stat_path)


def thread_switches(pid):
    """Context switches and CPU seconds of every thread of the process:
    {tid: (name, switches, cpu)}."""
    threads = {}
    task_folder = "/proc/%d/task" % pid
    for tid in os.listdir(task_folder):
        try:
            with open(os.path.join(task_folder, tid, "status")) as status:
                fields = dict(line.split(":", 1) for line in status if ":" in line)
            cpu = run_seconds(os.path.join(task_folder, tid), os.path.join(task_folder, tid, "stat"))
        except OSError:
            continue  # the thread ended meanwhile
        count = int(fields["voluntary_ctxt_switches"]) + int(fields["nonvoluntary_ctxt_switches"])
        threads[int(tid)] = (fields["Name"].strip(), count, cpu)
    return threads


def measure_span(pid, seconds):
    """Wake-ups per second, CPU share of one core and the busiest threads."""
    process_stat = "/proc/%d/stat" % pid
    first, first_cpu, start = thread_switches(pid), cpu_seconds(process_stat), time.monotonic()
    time.sleep(seconds)
    last, last_cpu = thread_switches(pid), cpu_seconds(process_stat)
    wall = time.monotonic() - start
    per_thread = []
    for tid, (name, count, cpu) in last.items():
        _, count_before, cpu_before = first.get(tid, (name, 0, 0.0))
        per_thread.append(((count - count_before) / wall, tid, name,
                           100.0 * (cpu - cpu_before) / wall))
    per_thread.sort(reverse=True)
    return {"wakeups_per_s": sum(entry[0] for entry in per_thread),
            "cpu_percent": 100.0 * (last_cpu - first_cpu) / wall,
            "run_percent": sum(entry[3] for entry in per_thread),
            "threads": per_thread}


def print_span(name, figures):
    print("%-9s  %8.1f wake-ups/s  %6.2f %% of a core  (%.3f %% by run time)" % (
        name, figures["wakeups_per_s"], figures["cpu_percent"], figures["run_percent"]))
    for rate, tid, thread, cpu in figures["threads"]:
        if rate >= 0.5 or cpu > 0.0005:
            print("           thread %-7d %-16s %7.1f /s  %7.3f %%" % (tid, thread, rate, cpu))


def window_spans(build_dir, home, settings, seconds, fill=0):
    """The window with `kvt-simsettings SETTINGS`, measured idle and then
    measuring (after START); returns both spans' figures."""
    with recorder_session(build_dir, home, settings) as recorder:
        time.sleep(SETTLE_SECONDS)
        idle = measure_span(recorder.process.pid, seconds)
        recorder.press_start()
        if not wait_for_rows(os.path.join(home, "KVT936P_U_DATA"), 1, 30):
            raise RuntimeError("the recorder wrote no row after START")
        time.sleep(SETTLE_SECONDS + fill)
        measuring = measure_span(recorder.process.pid, seconds)
        recorder.press_stop()
        recorder.exit()
    return idle, measuring


def main():
    arguments = parse_arguments()
    home = tempfile.mkdtemp(prefix="kvt-wakeups-")
    idle, measuring = window_spans(arguments.build_dir, home, "demo", arguments.seconds,
                                    arguments.fill)
    print_span("idle", idle)
    print_span("measuring", measuring)
    print("files: %s" % home)
    return 0


if __name__ == "__main__":
    sys.exit(main())
