"""The built recorder as a measurement script runs it: its own HOME with
settings from kvt-simsettings, a private Xvfb display, START and STOP
pressed with xdotool, its journal (standard error) in HOME/recorder.out,
its day files read back row by row, its status asked with --status --json.
"""
import contextlib
import json
import os
import re
import signal
import subprocess
import time
from datetime import datetime, timedelta

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")

DAY_FILE_HEADER_BYTES = 512
ROW_BYTES = 171
START_BUTTON = (440, 30)  # START/STOP in the command row of the window
EXIT_BUTTON = (790, 10)

# Journal line of rows a refusing file still owed when the recorder ended.
DROPPED_AT_END = re.compile(r"^<\d>group (\d+): (\d+) rows could not be written before the end")


def stop_process(process, grace=5):
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def write_settings(build_dir, home, kind):
    """The settings file of `kvt-simsettings KIND` in HOME."""
    program = os.path.join(build_dir, "tools", "simsettings", "kvt-simsettings")
    subprocess.run([program, kind], env=dict(os.environ, HOME=home), check=True,
                   stdout=subprocess.DEVNULL)


class Display:
    """A private Xvfb display, with xdotool and screenshots on it."""

    def __init__(self, build_dir):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            self.name = ":" + numbers.readline().strip()
        self.grabber = os.path.join(build_dir, "tools", "screengrab", "kvt-screengrab")

    def run(self, *arguments):
        environment = dict(os.environ, DISPLAY=self.name)
        return subprocess.run(arguments, env=environment, capture_output=True, text=True)

    def window_of(self, pid, timeout=15):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.run("xdotool", "search", "--pid", str(pid)).stdout.split()
            if found:
                return found[-1]
            time.sleep(0.2)
        raise RuntimeError("no recorder window")

    def click(self, window, point):
        self.run("xdotool", "mousemove", "--window", window, str(point[0]), str(point[1]),
                 "click", "1")

    def screenshot(self, path):
        self.run(self.grabber, path)

    def stop(self):
        stop_process(self.process)


class Recorder:
    def __init__(self, build_dir, home, display, extra_environment=None):
        self.display = display
        self.program = os.path.join(build_dir, "kvt936p")
        self.output_path = os.path.join(home, "recorder.out")
        self.environment = dict(os.environ, HOME=home, DISPLAY=display.name, LANG="C.UTF-8",
                                XDG_RUNTIME_DIR=os.path.join(home, "runtime"),
                                **(extra_environment or {}))
        os.makedirs(self.environment["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.output = open(self.output_path, "w")
        self.process = subprocess.Popen([self.program], env=self.environment,
                                        stdout=self.output, stderr=subprocess.STDOUT)
        self.window = display.window_of(self.process.pid)
        time.sleep(1)

    def press_start(self):
        self.display.click(self.window, START_BUTTON)

    def boxes(self):
        """The recorder's visible windows other than its main window, oldest first."""
        found = self.display.run("xdotool", "search", "--onlyvisible", "--pid",
                                 str(self.process.pid)).stdout.split()
        return [window for window in found if window != self.window]

    def close_boxes(self):
        """Answers every box the recorder shows with Return, newest first
        (a box that is not focused would not get the key)."""
        for _ in range(10):
            boxes = self.boxes()
            if not boxes:
                return
            self.display.run("xdotool", "windowfocus", "--sync", boxes[-1], "key", "Return")
            time.sleep(0.3)

    def press_stop(self):
        """STOP and its question answered, with no other box in the way;
        returns the monotonic time just before the answer, when recording
        ends."""
        self.close_boxes()
        self.display.click(self.window, START_BUTTON)
        time.sleep(1)
        answered = time.monotonic()
        self.close_boxes()  # "Are you sure you want to stop?"
        return answered

    def exit(self):
        self.close_boxes()
        self.display.click(self.window, EXIT_BUTTON)
        time.sleep(1)
        self.close_boxes()  # "Are you sure you want to exit program?" while measuring
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            stop_process(self.process)
        self.output.close()

    def terminate(self, bound):
        """SIGTERM; the exit code and the seconds to the end, or None for a
        recorder still running after `bound` seconds (then killed)."""
        sent = time.monotonic()
        self.process.send_signal(signal.SIGTERM)
        try:
            code = self.process.wait(bound)
        except subprocess.TimeoutExpired:
            code = None
            stop_process(self.process)
        self.output.close()
        return code, time.monotonic() - sent

    def status(self):
        """What `kvt936p --status --json` says; None when it says nothing."""
        answer = subprocess.run([self.program, "--status", "--json"], env=self.environment,
                                capture_output=True, text=True, timeout=10)
        try:
            return json.loads(answer.stdout)
        except ValueError:
            return None

    def journal(self):
        with open(self.output_path, errors="replace") as output:
            return output.read().splitlines()


def dropped_at_end(journal_lines):
    """Rows per group that the journal says were dropped at the end."""
    dropped = {}
    for line in journal_lines:
        found = DROPPED_AT_END.match(line)
        if found:
            dropped[int(found.group(1))] = dropped.get(int(found.group(1)), 0) + int(found.group(2))
    return dropped


@contextlib.contextmanager
def recorder_session(build_dir, home, settings, extra_environment=None):
    """The recorder with `kvt-simsettings SETTINGS` on a display of its own;
    both are ended when the block is left."""
    write_settings(build_dir, home, settings)
    display = Display(build_dir)
    recorder = None
    try:
        recorder = Recorder(build_dir, home, display, extra_environment)
        yield recorder
    finally:
        if recorder:
            stop_process(recorder.process)
            if not recorder.output.closed:
                recorder.output.close()
        display.stop()


def day_file_rows(data_folder, group):
    """Time stamps of every row of a group, over all day folders."""
    stamps = []
    for day in sorted(os.listdir(data_folder)):
        path = os.path.join(data_folder, day, "GR%d.CSV" % group)
        if not (len(day) == 8 and day.isdigit() and os.path.isfile(path)):
            continue
        date = datetime.strptime(day, "%Y%m%d")
        with open(path, "rb") as day_file:
            content = day_file.read()
        for at in range(DAY_FILE_HEADER_BYTES, len(content) - ROW_BYTES + 1, ROW_BYTES):
            clock, millis = content[at:at + 12].decode("ascii").split(",")[:2]
            hours, minutes, seconds = (int(part) for part in clock.split(":"))
            stamps.append(date + timedelta(hours=hours, minutes=minutes, seconds=seconds,
                                           milliseconds=int(millis.strip() or 0)))
    return stamps


def wait_for_rows(data_folder, group, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if day_file_rows(data_folder, group):
            return True
        time.sleep(1)
    return False

