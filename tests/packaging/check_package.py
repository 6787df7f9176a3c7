#!/usr/bin/python3
"""Builds the Debian package from a build folder with CPack, unpacks it and
checks what it would install: the file list, modes and owners, the control
fields, the desktop entry, the icons, the man pages and that the installed
recorder answers --version without a display.

Usage: check_package.py BUILD-FOLDER VERSION
"""
import gzip
import os
import stat
import subprocess
import sys
import tempfile

PROGRAMS = ["kvt936p", "kvt-nodesim", "kvt-simsettings", "kvt-export"]
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]

EXPECTED_FILES = {f"usr/bin/{program}": 0o755 for program in PROGRAMS}
EXPECTED_FILES.update({f"usr/share/man/man1/{program}.1.gz": 0o644 for program in PROGRAMS})
EXPECTED_FILES.update({
    f"usr/share/icons/hicolor/{size}x{size}/apps/kvt936p.png": 0o644 for size in ICON_SIZES})
EXPECTED_FILES["usr/share/applications/kvt936p.desktop"] = 0o644
EXPECTED_FILES["usr/share/doc/kvt936p/README.md"] = 0o644

problems = []


def check(condition, message):
    if not condition:
        problems.append(message)


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


def build_package(build, work, version):
    result = run(["cpack", "--config", os.path.join(build, "CPackConfig.cmake"),
                  "-B", os.path.join(work, "out")])
    if result.returncode != 0:
        sys.exit("cpack failed:\n" + result.stdout + result.stderr)
    architecture = run(["dpkg", "--print-architecture"]).stdout.strip()
    package = os.path.join(work, "out", f"kvt936p_{version}_{architecture}.deb")
    if not os.path.exists(package):
        sys.exit("no package named " + os.path.basename(package) + " in " + str(
            os.listdir(os.path.join(work, "out"))))
    return package


def check_files(root):
    found = {}
    for folder, folders, files in os.walk(root):
        for name in folders:
            path = os.path.join(folder, name)
            mode = stat.S_IMODE(os.lstat(path).st_mode)
            check(mode == 0o755, f"folder {os.path.relpath(path, root)} has mode {mode:o}")
        for name in files:
            path = os.path.join(folder, name)
            found[os.path.relpath(path, root)] = stat.S_IMODE(os.lstat(path).st_mode)
    check(sorted(found) == sorted(EXPECTED_FILES),
          f"files differ: missing {sorted(set(EXPECTED_FILES) - set(found))}, "
          f"unexpected {sorted(set(found) - set(EXPECTED_FILES))}")
    for path, mode in EXPECTED_FILES.items():
        if path in found:
            check(found[path] == mode, f"{path} has mode {found[path]:o}, not {mode:o}")


def check_owners(package):
    for line in run(["dpkg-deb", "-c", package]).stdout.splitlines():
        check(line.split()[1] == "root/root", "not owned by root: " + line)


def check_control(package, version):
    fields = {name: run(["dpkg-deb", "-f", package, name]).stdout.strip()
              for name in ["Package", "Version", "Depends", "Section", "Description"]}
    check(fields["Package"] == "kvt936p", "package name " + fields["Package"])
    check(fields["Version"] == version, "version " + fields["Version"])
    depends = [entry.strip().split(" ")[0] for entry in fields["Depends"].split(",")]
    for needed in ["fonts-ipafont-gothic", "xfonts-shinonome", "xfonts-mplus",
                   "libqt6widgets6", "libqt6gui6", "libmodbus5", "libc6"]:
        check(needed in depends, f"Depends lacks {needed}: {fields['Depends']}")


def desktop_entry(path):
    entry = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if "=" in line and not line.startswith("#"):
                key, value = line.rstrip("\n").split("=", 1)
                entry[key] = value
    return entry


def check_desktop_entry(root):
    path = os.path.join(root, "usr/share/applications/kvt936p.desktop")
    result = run(["desktop-file-validate", path])
    check(result.returncode == 0 and not result.stdout.strip(),
          "desktop-file-validate: " + result.stdout + result.stderr)
    entry = desktop_entry(path)
    for key, value in [("Name", "KVT936PUS"), ("Exec", "kvt936p"), ("Icon", "kvt936p")]:
        check(entry.get(key) == value, f"desktop {key} {entry.get(key, '')}")
    check("Science" in entry.get("Categories", "").split(";"), "desktop Categories")


def check_icons(root):
    for size in ICON_SIZES:
        path = os.path.join(root, f"usr/share/icons/hicolor/{size}x{size}/apps/kvt936p.png")
        if os.path.exists(path):
            kind = run(["file", "-b", path]).stdout
            check(kind.startswith(f"PNG image data, {size} x {size},"), f"{path}: {kind}")


def check_man_pages(root, version):
    for program in PROGRAMS:
        path = os.path.join(root, f"usr/share/man/man1/{program}.1.gz")
        if not os.path.exists(path):
            continue
        with gzip.open(path, "rt", encoding="utf-8") as page:
            text = page.read()
        check(text.startswith(".TH ") and f"kvt936p {version}" in text.splitlines()[0],
              f"{program}.1 title line: {text.splitlines()[0] if text else ''}")
        check(f".SH NAME\n{program} \\- " in text, f"{program}.1 has no NAME section for it")


def check_programs_run(root, version):
    environment = {"PATH": "/usr/bin:/bin", "HOME": tempfile.gettempdir(), "LC_ALL": "C"}
    for program in PROGRAMS:
        path = os.path.join(root, "usr/bin", program)
        if not os.path.exists(path):
            continue
        kind = run(["file", "-b", path]).stdout
        check(kind.startswith("ELF") and ", stripped" in kind, f"{program}: {kind}")
        result = run([path, "--version"], env=environment, timeout=30)
        check(result.returncode == 0 and result.stdout == f"{program} {version}\n",
              f"{program} --version: {result.returncode} {result.stdout!r} {result.stderr!r}")


def main():
    build, version = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="kvt-package-") as work:
        package = build_package(build, work, version)
        root = os.path.join(work, "root")
        subprocess.run(["dpkg-deb", "-x", package, root], check=True)
        check_files(root)
        check_owners(package)
        check_control(package, version)
        check_desktop_entry(root)
        check_icons(root)
        check_man_pages(root, version)
        check_programs_run(root, version)
    for problem in problems:
        print("package: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
