#!/usr/bin/python3
"""Fault soak: the real recorder, for a long run, under cycling faults.

Phase "tcp": the recorder polls the node simulator (nodes 1 and 2) over
Modbus/TCP on 127.0.0.1:502 while the simulator's fault switches cycle
(dropped connections, slow answers, a late 0x0B for node 2, split answers,
exceptions, a silent node, refused output writes). Phase "demo": the
recorder in demonstration mode, every group recording every half second.
In the middle of each phase the data folder is read-only for a minute;
at a quarter of it today's GR3.CSV is a folder for a minute.

Reports per phase and case, group by group: rows due by the recorder's
elapsed time (from the group's first row to STOP or SIGTERM, at its storing
cycle) against rows written, the rows the recorder reported as dropped
(`kvt936p --status --json` just before the end, and the journal's lines of
rows still owed at the end), and "short": rows due but neither written nor
reported, beyond the sample under way at the end. Between the first and the
last row every step must be there (the faults cost values, never rows).
Also the gaps, reconnects and request rates per fault, CPU and RSS of the
recorder at the start and at the end, the journal's lines on the outages.

Runs as root (port 502, read-only bind mount) in private network and mount
namespaces, with the recorder on its own Xvfb display and START pressed by
xdotool:

    sudo bench/fault_soak.py                    # 30 min TCP, then 10 min demo
    sudo bench/fault_soak.py --tcp-minutes 5 --demo-minutes 0
    sudo bench/fault_soak.py --tcp-minutes 0 --demo-minutes 0 --clock-minutes 5
    sudo bench/fault_soak.py --tcp-minutes 0 --demo-minutes 0 --clock-minutes 0
                                                # the SIGTERM cases alone

Phase "clock" (after the others): the demonstration recorder under
libfaketime in central European time, started two minutes before 03:00
summer time on the day summer time ends, with no other fault; at 03:00 the
clock goes back to 02:00 and every group must record on through the
repeated hour. A step back of up to an hour counts as one step there, not
as lost or out-of-order rows; rows due are counted by the recorder's clock.

Cases "sigterm-blocked" and "sigterm-read-only" (last): the demonstration
recorder, every group every half second, records for --sigterm-seconds;
then today's GR3.CSV and GR7.CSV become folders (or the data folder becomes
read-only) and after --outage-seconds (more than the 5 s after which an
outage is reported) the recorder gets SIGTERM. It must end with exit code 0
within EXIT_BOUND_SECONDS, the journal must have reported the outage, every
row it could not write must be reported dropped, and the other groups must
have every row.

The scratch folder with the day files, the simulator's log and screenshots
is printed at the end.
"""
import argparse
import glob
import os
import queue
import subprocess
import sys
import tempfile
import threading
import time
from datetime import datetime, timedelta

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from recorder_process import (CLOCK_TICKS, ROOT, day_file_rows, dropped_at_end,  # noqa: E402
                              recorder_session, stop_process, wait_for_rows)

INSIDE_MARK = "KVT_SOAK_INSIDE_NAMESPACES"

# The recorder ends within its worker stop limit (5 s) after a termination
# signal; a second more for the toolkit's own end.
EXIT_BOUND_SECONDS = 6
# Rows a group may be short of those due by the recorder's elapsed time: the
# sample under way when STOP or the signal came, and one of slack.
DUE_SLACK_ROWS = 2

# Storing cycle (s) of the recording groups in the settings of each phase.
PHASE_GROUPS = {
    "tcp": {1: 1.0, 2: 1.0, 3: 0.5},
    "demo": {group: 0.5 for group in range(1, 11)},
    "clock": {group: 0.5 for group in range(1, 11)},
}

# The clock phase: the recorder's clock starts at 02:58:00 summer time on 25
# October 2026 (00:58:00 UTC); at 03:00 it reads 02:00 again.
CLOCK_ZONE = "CET-1CEST,M3.5.0,M10.5.0/3"
CLOCK_START_EPOCH = 1792889880
CLOCK_START_LOCAL = datetime(2026, 10, 25, 2, 58, 0)

# Fault switches of the simulator: name, commands to switch on, to switch off.
FAULTS = [
    ("drop every 40th", ["drop-every 40"], ["drop-every 0"]),
    ("answers 300 ms late", ["delay 300"], ["delay off"]),
    ("late 0x0B for node 2", ["delay 2:1000", "exception 2:11"], ["delay off", "exception off"]),
    ("split answers", ["split 50"], ["split off"]),
    ("exception from node 1", ["exception 1:4"], ["exception off"]),
    ("node 2 silent", ["silent 2"], ["answer 2"]),
    ("node 1 refuses writes", ["write-exception 1:1"], ["write-exception off"]),
]


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tcp-minutes", type=float, default=30)
    parser.add_argument("--demo-minutes", type=float, default=10)
    parser.add_argument("--clock-minutes", type=float, default=5)
    parser.add_argument("--fault-seconds", type=int, default=60, help="each fault lasts")
    parser.add_argument("--clean-seconds", type=int, default=20, help="pause between faults")
    parser.add_argument("--unwritable-seconds", type=int, default=60)
    parser.add_argument("--sigterm-seconds", type=float, default=20,
                        help="recording before the outage of each SIGTERM case (0: no such case)")
    parser.add_argument("--outage-seconds", type=float, default=12,
                        help="outage before SIGTERM in each SIGTERM case")
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build", "release"))
    return parser.parse_args()


def inside_namespaces():
    return bool(os.environ.get(INSIDE_MARK))


def rerun_in_namespaces():
    """Runs this script again in private network and mount namespaces."""
    environment = dict(os.environ, **{INSIDE_MARK: "1"})
    command = ["unshare", "--net", "--mount", "--propagation", "private", "--",
               sys.executable] + sys.argv
    sys.exit(subprocess.run(command, env=environment).returncode)


def build(build_dir):
    subprocess.run([os.path.join(ROOT, "scripts", "install-deps.sh")], check=True)
    if not os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Release", "-DBUILD_TESTING=OFF",
                        "-DKVT_BUILD_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["nice", "cmake", "--build", build_dir, "--target", "kvt936p", "kvt-nodesim",
                    "kvt-simsettings", "kvt-screengrab"], check=True)


class Simulator:
    """kvt-nodesim on 127.0.0.1:502, verbose, logging into a file; commands
    go to its standard input and are acknowledged with "ok LINE"."""

    def __init__(self, build_dir, log_path):
        self.log_path = log_path
        program = os.path.join(build_dir, "tools", "nodesim", "kvt-nodesim")
        self.process = subprocess.Popen(
            [program, "--tcp", "--listen", "127.0.0.1", "--port", "502", "--nodes", "1,2",
             "--verbose", "--log", log_path],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._collect, daemon=True).start()
        self._expect("ready", 10)

    def _collect(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))

    def _expect(self, wanted, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                if self.lines.get(timeout=0.2) == wanted:
                    return
            except queue.Empty:
                if self.process.poll() is not None:
                    break
        raise RuntimeError("simulator: no '%s'" % wanted)

    def command(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        self._expect("ok " + line, 5)

    def log_size(self):
        return os.path.getsize(self.log_path)

    def stop(self):
        stop_process(self.process)


class ProcessMeter:
    """CPU time and resident memory of one process, from /proc."""

    def __init__(self, pid):
        self.pid = pid
        self.samples = []  # (seconds since start, CPU seconds, RSS KiB)
        self.start = time.monotonic()

    def sample(self):
        try:
            with open("/proc/%d/stat" % self.pid) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            with open("/proc/%d/status" % self.pid) as status:
                rss = next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))
        except (OSError, StopIteration):
            return
        cpu = (int(fields[11]) + int(fields[12])) / CLOCK_TICKS
        self.samples.append((time.monotonic() - self.start, cpu, rss))

    def cpu_percent(self, first, last):
        return 100.0 * (last[1] - first[1]) / max(last[0] - first[0], 1e-9)

    def summary(self, window_seconds=300):
        if len(self.samples) < 2:
            return {}
        first, last = self.samples[0], self.samples[-1]
        early = next((s for s in self.samples if s[0] - first[0] >= window_seconds), last)
        late = next((s for s in reversed(self.samples) if last[0] - s[0] >= window_seconds),
                    first)
        return {"rss_start_kib": first[2], "rss_end_kib": last[2],
                "rss_peak_kib": max(s[2] for s in self.samples),
                "cpu_first_window": self.cpu_percent(first, early),
                "cpu_last_window": self.cpu_percent(late, last),
                "cpu_whole_run": self.cpu_percent(first, last),
                "window_minutes": min(window_seconds, last[0] - first[0]) / 60}


def set_read_only(folder, read_only):
    if read_only:
        subprocess.run(["mount", "--bind", folder, folder], check=True)
        subprocess.run(["mount", "-o", "remount,bind,ro", folder], check=True)
        return
    for _ in range(50):
        if subprocess.run(["umount", folder], stderr=subprocess.DEVNULL).returncode == 0:
            return
        time.sleep(0.1)
    subprocess.run(["umount", "-l", folder], check=True)


def row_figures(stamps, cycle, set_backs_allowed=False):
    """Rows expected between the first and the last row against rows written.
    With set_backs_allowed, a row stamped up to an hour before the one before
    it follows a clock set back and counts as the next step."""
    if not stamps:
        return {"written": 0, "expected": 0, "missing": 0, "gaps": [], "out_of_order": 0,
                "set_backs": 0}
    steps = [(later - earlier).total_seconds() for earlier, later in zip(stamps, stamps[1:])]
    set_backs = [index for index, step in enumerate(steps)
                 if set_backs_allowed and -3600 <= step < 0]
    for index in set_backs:
        steps[index] = cycle
    gaps = [(stamps[index], round(step / cycle) - 1)
            for index, step in enumerate(steps) if step > cycle * 1.01]
    expected = round(sum(steps) / cycle) + 1
    return {"written": len(stamps), "expected": expected, "missing": expected - len(stamps),
            "gaps": gaps, "out_of_order": sum(1 for step in steps if step < cycle * 0.99),
            "set_backs": len(set_backs), "first": stamps[0], "last": stamps[-1]}


def count_log(path, start, end):
    """Connects and requests per node in the simulator log between two offsets."""
    with open(path, "rb") as log:
        log.seek(start)
        text = log.read(end - start).decode("ascii", "replace")
    lines = text.splitlines()
    return {"connects": sum(1 for line in lines if line == "connect tcp"),
            "node1": sum(1 for line in lines if line.startswith("request tcp node=1 ")),
            "node2": sum(1 for line in lines if line.startswith("request tcp node=2 "))}


class FaultCycle:
    """Switches the faults on and off in turn and keeps log offsets per window."""

    def __init__(self, simulator, fault_seconds, clean_seconds):
        self.simulator = simulator
        self.fault_seconds = fault_seconds
        self.clean_seconds = clean_seconds
        self.windows = []  # (fault name or "clean", seconds, log start, log end)
        self.index = -1
        self.active = None
        self.since = time.monotonic()
        self.log_start = simulator.log_size()

    def step(self):
        elapsed = time.monotonic() - self.since
        if self.active is None and elapsed >= self.clean_seconds:
            self._close_window("clean")
            self.index = (self.index + 1) % len(FAULTS)
            self.active = FAULTS[self.index]
            for line in self.active[1]:
                self.simulator.command(line)
        elif self.active is not None and elapsed >= self.fault_seconds:
            self._close_window(self.active[0])
            for line in self.active[2]:
                self.simulator.command(line)
            self.active = None

    def finish(self):
        self._close_window(self.active[0] if self.active else "clean")

    def _close_window(self, name):
        now = time.monotonic()
        end = self.simulator.log_size()
        self.windows.append((name, now - self.since, self.log_start, end))
        self.since, self.log_start = now, end

    def figures(self):
        totals = {}
        for name, seconds, start, end in self.windows:
            counts = count_log(self.simulator.log_path, start, end)
            entry = totals.setdefault(name, {"seconds": 0.0, "connects": 0, "node1": 0,
                                             "node2": 0})
            entry["seconds"] += seconds
            for key, value in counts.items():
                entry[key] += value
        return totals


def clock_environment():
    """libfaketime for the clock phase: its start time, at real speed."""
    found = glob.glob("/usr/lib/*/faketime/libfaketimeMT.so.1")
    if not found:
        raise RuntimeError("clock phase: libfaketime is missing (scripts/install-deps.sh)")
    return {"LD_PRELOAD": found[0], "FAKETIME_FMT": "%s",
            "FAKETIME": "@%d" % CLOCK_START_EPOCH, "TZ": CLOCK_ZONE}


def wall_time_of(monotonic_moment):
    """The local wall-clock time of an earlier time.monotonic() reading."""
    return datetime.now() - timedelta(seconds=time.monotonic() - monotonic_moment)


def reported_drops(status, journal):
    """Rows per group the recorder said it dropped: its status just before
    the end, and the journal's lines of rows still owed at the end."""
    dropped = {group["group"]: group["dropped"] for group in (status or {}).get("groups", [])}
    for group, rows in dropped_at_end(journal).items():
        dropped[group] = dropped.get(group, 0) + rows
    return dropped


def outage_lines(journal):
    return [line for line in journal if "message: " not in line and (
        "cannot write " in line or "works again" in line or "before the end" in line)]


def group_figures(data_folder, cycles, seconds_to_end, dropped, set_backs_allowed=False):
    """Per group: the rows written against those due by the recorder's
    elapsed time, from the group's first row (None when it wrote none) to
    the end, as seconds_to_end(first row) tells; with what the recorder
    said it dropped, the rows neither written nor reported are "short"."""
    groups = {}
    for group, cycle in cycles.items():
        rows = row_figures(day_file_rows(data_folder, group), cycle, set_backs_allowed)
        rows["due"] = int(seconds_to_end(rows.get("first")) / cycle) + 1
        rows["dropped"] = dropped.get(group, 0)
        rows["short"] = max(0, rows["due"] - rows["written"] - rows["dropped"] - DUE_SLACK_ROWS)
        groups[group] = rows
    return groups


def run_phase(name, minutes, arguments, scratch):
    home = os.path.join(scratch, name)
    os.makedirs(home)
    data_folder = os.path.join(home, "KVT936P_U_DATA")
    simulator = Simulator(arguments.build_dir, os.path.join(home, "simulator.log")) \
        if name == "tcp" else None
    try:
        with recorder_session(arguments.build_dir, home,
                              "soak" if name == "tcp" else "demo-all") as recorder:
            display = recorder.display
            started = datetime.now()
            recorder.press_start()
            if not wait_for_rows(data_folder, 1, 30):
                display.screenshot(os.path.join(home, "not-started.png"))
                raise RuntimeError("%s: the recorder wrote no row after START" % name)
            display.screenshot(os.path.join(home, "started.png"))
            meter = ProcessMeter(recorder.process.pid)
            faults = FaultCycle(simulator, arguments.fault_seconds, arguments.clean_seconds) \
                if simulator else None
            unwritable, blocked = drive(minutes * 60, meter, faults, data_folder,
                                        arguments.unwritable_seconds, recorder, home)
            display.screenshot(os.path.join(home, "end.png"))
            if faults:
                faults.finish()
            status = recorder.status()
            stopped = wall_time_of(recorder.press_stop())
            time.sleep(5)  # the writer catches up
            recorder.exit()
            journal = recorder.journal()
    finally:
        if simulator:
            simulator.stop()
        if os.path.ismount(data_folder):
            set_read_only(data_folder, False)
    result = {"name": name, "home": home, "started": started, "stopped": stopped,
              "unwritable": unwritable, "blocked": blocked, "meter": meter.summary(),
              "journal": outage_lines(journal), "cycles": PHASE_GROUPS[name],
              "groups": group_figures(data_folder, PHASE_GROUPS[name],
                                      lambda first: (stopped - (first or started)).total_seconds(),
                                      reported_drops(status, journal))}
    if faults:
        result["faults"] = faults.figures()
        result["connects"] = count_log(simulator.log_path, 0, simulator.log_size())["connects"]
    return result


def run_clock_phase(minutes, arguments, scratch):
    """The demonstration recorder across the end of summer time, nothing else
    in the way; its rows due and written per group."""
    home = os.path.join(scratch, "clock")
    os.makedirs(home)
    data_folder = os.path.join(home, "KVT936P_U_DATA")
    launched = time.monotonic()  # the recorder's clock reads CLOCK_START_EPOCH
    with recorder_session(arguments.build_dir, home, "demo-all",
                          clock_environment()) as recorder:
        recorder.press_start()
        if not wait_for_rows(data_folder, 1, 30):
            raise RuntimeError("clock: the recorder wrote no row after START")
        meter = ProcessMeter(recorder.process.pid)
        end = time.monotonic() + minutes * 60
        while time.monotonic() < end:
            meter.sample()
            time.sleep(max(0.0, min(10.0, end - time.monotonic())))
        meter.sample()
        recorder.display.screenshot(os.path.join(home, "end.png"))
        status = recorder.status()
        stop_epoch = CLOCK_START_EPOCH + recorder.press_stop() - launched
        time.sleep(5)  # the writer catches up
        recorder.exit()
        journal = recorder.journal()

    def seconds_to_stop(first):
        # From the first row (summer time) to STOP by the recorder's clock.
        first_epoch = CLOCK_START_EPOCH + (first - CLOCK_START_LOCAL).total_seconds() \
            if first else stop_epoch
        return stop_epoch - first_epoch

    return {"name": "clock", "home": home, "meter": meter.summary(),
            "journal": outage_lines(journal), "cycles": PHASE_GROUPS["clock"],
            "groups": group_figures(data_folder, PHASE_GROUPS["clock"], seconds_to_stop,
                                    reported_drops(status, journal), True)}


def run_sigterm_case(outage, arguments, scratch):
    """The demonstration recorder, every group every half second, gets
    SIGTERM while writing is blocked (OUTAGES); it must end with 0 within
    EXIT_BOUND_SECONDS, having reported the outage and counted as dropped
    what it could not write, with every row of the other groups written."""
    name = "sigterm-" + outage
    home = os.path.join(scratch, name)
    os.makedirs(home)
    data_folder = os.path.join(home, "KVT936P_U_DATA")
    span = BlockedDayFileSpan(data_folder, (3, 7)) if outage == "blocked" \
        else ReadOnlySpan(data_folder)
    try:
        with recorder_session(arguments.build_dir, home, "demo-all") as recorder:
            started = datetime.now()
            recorder.press_start()
            if not wait_for_rows(data_folder, 1, 30):
                raise RuntimeError("%s: the recorder wrote no row after START" % name)
            time.sleep(arguments.sigterm_seconds)
            span.begin()
            time.sleep(arguments.outage_seconds)
            recorder.display.screenshot(os.path.join(home, "outage.png"))
            status = recorder.status()
            signalled = datetime.now()
            exit_code, exit_seconds = recorder.terminate(EXIT_BOUND_SECONDS * 3)
            journal = recorder.journal()
    finally:
        if span.active():
            span.end()
    affected = PHASE_GROUPS["demo"] if outage == "read-only" else span.groups
    result = {"name": name, "home": home, "started": started, "signalled": signalled,
              "outage": "the data folder read-only" if outage == "read-only"
              else span.names() + " of today folders",
              "outage_began": span.began, "exit_code": exit_code, "exit_seconds": exit_seconds,
              "write_failure": (status or {}).get("write_failure"),
              "journal": outage_lines(journal), "cycles": PHASE_GROUPS["demo"],
              "groups": group_figures(
                  data_folder, PHASE_GROUPS["demo"],
                  lambda first: (signalled - (first or started)).total_seconds(),
                  reported_drops(status, journal))}
    result["faults_found"] = sigterm_faults(result, affected)
    return result


def sigterm_faults(result, affected):
    """What the recorder did wrong in a SIGTERM case, in words."""
    faults = []
    if result["exit_code"] != 0:
        faults.append("exit code %s, not 0" % result["exit_code"])
    if result["exit_seconds"] > EXIT_BOUND_SECONDS:
        faults.append("ended %.1f s after SIGTERM (bound %d s)" % (result["exit_seconds"],
                                                                     EXIT_BOUND_SECONDS))
    if not any("cannot write " in line for line in result["journal"]):
        faults.append("the outage was not reported in the journal")
    for group, rows in result["groups"].items():
        if rows["short"]:
            faults.append("group %d: %d rows neither written nor reported dropped"
                          % (group, rows["short"]))
        if group not in affected and rows["dropped"]:
            faults.append("group %d: %d rows dropped, its file was not blocked"
                          % (group, rows["dropped"]))
    return faults


def day_file_bytes(data_folder):
    total = 0
    for folder, _, names in os.walk(data_folder):
        total += sum(os.path.getsize(os.path.join(folder, name)) for name in names
                     if name.startswith("GR"))
    return total


class ReadOnlySpan:
    """The data folder read-only for a while; checks that no row got through."""

    def __init__(self, data_folder):
        self.data_folder = data_folder
        self.began = self.ended = None
        self.bytes_written = 0

    def begin(self):
        set_read_only(self.data_folder, True)
        self.began = datetime.now()
        self.bytes_before = day_file_bytes(self.data_folder)

    def end(self):
        self.bytes_written = day_file_bytes(self.data_folder) - self.bytes_before
        set_read_only(self.data_folder, False)
        self.ended = datetime.now()

    def active(self):
        return self.began is not None and self.ended is None


class BlockedDayFileSpan:
    """Today's day files of some groups folders for a while: only those
    groups may wait meanwhile; groups 1 and 2 go on."""

    def __init__(self, data_folder, groups=(3,)):
        self.data_folder = data_folder
        self.groups = groups
        self.began = self.ended = None
        self.others_gained = 0

    def names(self):
        return " and ".join("GR%d.CSV" % group for group in self.groups)

    def _rows_of_others(self):
        return min(len(day_file_rows(self.data_folder, group)) for group in (1, 2))

    def begin(self):
        day = os.path.join(self.data_folder, datetime.now().strftime("%Y%m%d"))
        self.paths = [os.path.join(day, "GR%d.CSV" % group) for group in self.groups]
        for path in self.paths:
            os.rename(path, path + ".aside")
            os.mkdir(path)
        self.began = datetime.now()
        self.others_before = self._rows_of_others()

    def end(self):
        self.others_gained = self._rows_of_others() - self.others_before
        for path in self.paths:
            os.rmdir(path)
            os.rename(path + ".aside", path)
        self.ended = datetime.now()

    def active(self):
        return self.began is not None and self.ended is None


def drive(seconds, meter, faults, data_folder, unwritable_seconds, recorder, home):
    """The phase's main loop; returns the read-only span and the blocked-file span it made.
    The box the recorder shows 5 s into each (writing failed) and the one at
    its end (writing resumed) are photographed and closed, one at a time."""
    display = recorder.display
    start = time.monotonic()
    blocked_at = start + max(seconds - unwritable_seconds, 0) / 4
    # The read-only span comes after the blocked file is back, in a short run too.
    read_only_at = max(start + max(seconds - unwritable_seconds, 0) / 2,
                       blocked_at + unwritable_seconds + 5)
    spans = [(BlockedDayFileSpan(data_folder), blocked_at),
             (ReadOnlySpan(data_folder), read_only_at)]
    boxes_due = []  # (when, screenshot name)
    next_sample = start
    while time.monotonic() - start < seconds:
        now = time.monotonic()
        if now >= next_sample:
            meter.sample()
            next_sample += 10
        if faults:
            faults.step()
        for index, (span, begin_at) in enumerate(spans):
            if span.began is None and now >= begin_at:
                span.begin()
                if unwritable_seconds > 8:
                    boxes_due.append((now + 7, "write-failed-%d.png" % index))
            elif span.active() and now >= begin_at + unwritable_seconds:
                span.end()
                boxes_due.append((now + 3, "write-resumed-%d.png" % index))
        if boxes_due and now >= boxes_due[0][0]:
            display.screenshot(os.path.join(home, boxes_due.pop(0)[1]))
            recorder.close_boxes()
        time.sleep(0.5)
    meter.sample()
    for span, _ in spans:
        if span.active():
            span.end()
    return spans[1][0], spans[0][0]


def clock_text(stamp):
    return stamp.strftime("%H:%M:%S.%f")[:-3] if stamp else "-"


def print_group_table(result):
    """Per group: rows due by the recorder's elapsed time (first row to the
    end), written, dropped as the recorder reported it, and short: due but
    neither written nor reported (beyond DUE_SLACK_ROWS); then the gaps and
    out-of-order steps between the first and the last row."""
    print("group  cycle    due  written  dropped  short  gaps  out-of-order  set-backs"
          "  first row     last row")
    for group, rows in result["groups"].items():
        print("%5d  %5.1f  %5d  %7d  %7d  %5d  %4d  %12d  %9d  %s  %s" % (
            group, result["cycles"][group], rows["due"], rows["written"], rows["dropped"],
            rows["short"], rows["missing"], rows["out_of_order"], rows["set_backs"],
            clock_text(rows.get("first")), clock_text(rows.get("last"))))
        for stamp, count in rows["gaps"][:10]:
            print("       gap of %d rows after %s" % (count, stamp))
        if rows["written"] > rows["due"] + DUE_SLACK_ROWS:
            print("       %d rows after the end: STOP did not take at once (a box in the way?)"
                  % (rows["written"] - rows["due"]))
    for line in result["journal"][:12]:
        print("journal: %s" % line)


def print_meter(meter):
    if meter:
        print("recorder RSS: %d KiB at start, %d KiB at end, %d KiB peak" % (
            meter["rss_start_kib"], meter["rss_end_kib"], meter["rss_peak_kib"]))
        print("recorder CPU: %.2f %% of a core over the first %.0f min, %.2f %% over the last,"
              " %.2f %% over the whole run" % (
                  meter["cpu_first_window"], meter["window_minutes"],
                  meter["cpu_last_window"], meter["cpu_whole_run"]))


def print_phase(result):
    span = result["unwritable"]
    print("\n== phase %s: START %s, STOP %s" % (
        result["name"], clock_text(result["started"]), clock_text(result["stopped"])))
    print("data folder read-only %s to %s; day files grew by %d bytes meanwhile" % (
        clock_text(span.began), clock_text(span.ended), span.bytes_written))
    blocked = result["blocked"]
    print("GR3.CSV a folder %s to %s; groups 1 and 2 wrote %d rows or more meanwhile" % (
        clock_text(blocked.began), clock_text(blocked.ended), blocked.others_gained))
    print_group_table(result)
    if "faults" in result:
        print("reconnects: %d in all (the first connect excluded)" % (result["connects"] - 1))
        print("fault                   seconds  connects  node-1 req/s  node-2 req/s")
        for name, entry in result["faults"].items():
            seconds = max(entry["seconds"], 1e-9)
            print("%-22s  %7.0f  %8d  %12.1f  %12.1f" % (
                name, entry["seconds"], entry["connects"], entry["node1"] / seconds,
                entry["node2"] / seconds))
    print_meter(result["meter"])
    print("files: %s" % result["home"])


def print_clock_phase(result):
    print("\n== phase clock: 25 October 2026 from 02:58:00 summer time, back to 02:00 at 03:00")
    print_group_table(result)
    print_meter(result["meter"])
    print("files: %s" % result["home"])


def print_sigterm_case(result):
    print("\n== case %s: START %s, %s from %s, SIGTERM %s" % (
        result["name"], clock_text(result["started"]), result["outage"],
        clock_text(result["outage_began"]), clock_text(result["signalled"])))
    print("status before SIGTERM: write failure %s" % result["write_failure"])
    print("exit code %s, %.2f s after SIGTERM (bound %d s)" % (
        result["exit_code"], result["exit_seconds"], EXIT_BOUND_SECONDS))
    print_group_table(result)
    for fault in result["faults_found"]:
        print("FAULT: %s" % fault)
    print("files: %s" % result["home"])


def losses(result):
    return sum(rows["missing"] + rows["out_of_order"] + rows["short"]
               for rows in result["groups"].values()) + len(result.get("faults_found", []))


def main():
    arguments = parse_arguments()
    if not inside_namespaces():
        if os.geteuid() != 0:
            sys.exit("fault_soak: needs root (port 502, bind mounts): sudo " + sys.argv[0])
        build(arguments.build_dir)  # while the network is there for missing packages
        rerun_in_namespaces()
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    scratch = tempfile.mkdtemp(prefix="kvt-soak-")
    results = []
    for name, minutes in (("tcp", arguments.tcp_minutes), ("demo", arguments.demo_minutes)):
        if minutes > 0:
            results.append(run_phase(name, minutes, arguments, scratch))
    if arguments.clock_minutes > 0:
        results.append(run_clock_phase(arguments.clock_minutes, arguments, scratch))
    if arguments.sigterm_seconds > 0:
        for outage in ("blocked", "read-only"):
            results.append(run_sigterm_case(outage, arguments, scratch))
    for result in results:
        if result["name"] == "clock":
            print_clock_phase(result)
        elif result["name"].startswith("sigterm"):
            print_sigterm_case(result)
        else:
            print_phase(result)
    lost = sum(losses(result) for result in results)
    print("\nrows lost or out of order, and faults: %d" % lost)
    return 1 if lost else 0


if __name__ == "__main__":
    sys.exit(main())
