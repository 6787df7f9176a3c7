#!/usr/bin/python3
"""Checks the systemd user unit with systemd-analyze verify, as the user
manager would load it: a copy whose ExecStart names the program just built
(the package's /usr/bin/kvt936p is not installed here), verified in user
mode with a runtime folder of its own (root in CI has no user session).
Fails on a non-zero exit or on anything systemd-analyze says; also when
the unit no longer starts `kvt936p --headless`, restarts on failure or
stays stopped after a clean stop.

Usage: check_service.py UNIT-FILE PROGRAM
"""
import os
import re
import subprocess
import sys
import tempfile


def main():
    unit_path, program = sys.argv[1], os.path.abspath(sys.argv[2])
    with open(unit_path) as unit_file:
        unit = unit_file.read()
    problems = []
    for wanted in ["ExecStart=/usr/bin/kvt936p --headless\n", "Restart=on-failure\n",
                   "WantedBy=default.target\n"]:
        if wanted not in unit:
            problems.append("the unit lacks " + wanted.strip())
    if re.search(r"^Restart=(always|on-success)", unit, re.MULTILINE):
        problems.append("the unit restarts after a clean stop")
    with tempfile.TemporaryDirectory(prefix="kvt-service-") as work:
        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        copy = os.path.join(work, "kvt936p.service")
        with open(copy, "w") as copy_file:
            copy_file.write(unit.replace("/usr/bin/kvt936p", program))
        environment = {"PATH": "/usr/bin:/bin", "XDG_RUNTIME_DIR": runtime, "HOME": work}
        result = subprocess.run(["systemd-analyze", "--user", "--man=no", "verify", copy],
                                capture_output=True, text=True, env=environment)
        said = (result.stdout + result.stderr).strip()
        if result.returncode != 0 or said:
            problems.append("systemd-analyze verify (exit %d): %s" % (result.returncode, said))
    for problem in problems:
        print("service: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
