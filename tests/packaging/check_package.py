#!/usr/bin/python3
"""Builds the Debian package from a build folder with CPack, unpacks it and
checks what it would install: the file list, modes and owners, the control
fields, the desktop entry, the icons, the man pages, the changelog and the
AppStream metainfo, the hardening of every program (readelf) and that it
answers --version without a display; then runs lintian and appstreamcli
validate, and fails on any error or warning of theirs.

Usage: check_package.py BUILD-FOLDER VERSION
"""
import gzip
import os
import re
import stat
import subprocess
import sys
import tempfile
from xml.etree import ElementTree

# What the package installs. A new program joins PROGRAMS (it brings its
# man page and the readelf checks); any other new file joins OTHER_FILES.
PROGRAMS = ["kvt936p", "kvt-nodesim", "kvt-simsettings", "kvt-export"]
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
METAINFO = "usr/share/metainfo/org.example.kvt936p.metainfo.xml"
SCALABLE_ICON = "usr/share/icons/hicolor/scalable/apps/kvt936p.svg"
OTHER_FILES = {
    "usr/share/applications/kvt936p.desktop": 0o644,
    "usr/lib/systemd/user/kvt936p.service": 0o644,
    SCALABLE_ICON: 0o644,
    METAINFO: 0o644,
    "usr/share/doc/kvt936p/README.md": 0o644,
    "usr/share/doc/kvt936p/copyright": 0o644,
    "usr/share/doc/kvt936p/changelog.gz": 0o644,
}

EXPECTED_FILES = {f"usr/bin/{program}": 0o755 for program in PROGRAMS}
EXPECTED_FILES.update({f"usr/share/man/man1/{program}.1.gz": 0o644 for program in PROGRAMS})
EXPECTED_FILES.update({
    f"usr/share/icons/hicolor/{size}x{size}/apps/kvt936p.png": 0o644 for size in ICON_SIZES})
EXPECTED_FILES.update(OTHER_FILES)

problems = []


def check(condition, message):
    if not condition:
        problems.append(message)


def run(command, **options):
    try:
        return subprocess.run(command, capture_output=True, text=True, **options)
    except FileNotFoundError:
        return subprocess.CompletedProcess(command, 127, "", f"{command[0]} is not installed "
                                           "(scripts/install-deps.sh installs it)")


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
              for name in ["Package", "Version", "Depends", "Recommends", "Section",
                           "Description"]}
    check(fields["Package"] == "kvt936p", "package name " + fields["Package"])
    check(fields["Version"] == version, "version " + fields["Version"])
    for field, needed_packages in [("Depends", ["fonts-ipafont-gothic", "libqt6widgets6",
                                                "libqt6gui6", "libmodbus5", "libc6"]),
                                   ("Recommends", ["xfonts-shinonome", "xfonts-mplus"])]:
        listed = [entry.strip().split(" ")[0] for entry in fields[field].split(",")]
        for needed in needed_packages:
            check(needed in listed, f"{field} lacks {needed}: {fields[field]}")


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
    # desktop-file-validate 0.26 checks the format 1.4, which did not have
    # SingleMainWindow yet (it came with 1.5; lintian knows it).
    result = run(["desktop-file-validate", path])
    complaints = [line for line in (result.stdout + result.stderr).splitlines()
                  if '"SingleMainWindow"' not in line]
    check(not complaints, "desktop-file-validate: " + "\n".join(complaints))
    entry = desktop_entry(path)
    for key, value in [("Name", "KVT936PUS"), ("Exec", "kvt936p"), ("Icon", "kvt936p"),
                       ("SingleMainWindow", "true")]:
        check(entry.get(key) == value, f"desktop {key} {entry.get(key, '')}")
    check("Science" in entry.get("Categories", "").split(";"), "desktop Categories")


def check_icons(root):
    for size in ICON_SIZES:
        path = os.path.join(root, f"usr/share/icons/hicolor/{size}x{size}/apps/kvt936p.png")
        if os.path.exists(path):
            kind = run(["file", "-b", path]).stdout
            check(kind.startswith(f"PNG image data, {size} x {size},"), f"{path}: {kind}")


def check_scalable_icon(root, work):
    """The scalable icon, drawn at 64 pixels, looks like the 64-pixel one."""
    drawn = os.path.join(work, "scalable-64.png")
    result = run(["rsvg-convert", "-w", "64", "-h", "64", "-o", drawn,
                  os.path.join(root, SCALABLE_ICON)])
    check(result.returncode == 0, "rsvg-convert: " + result.stderr)
    png = os.path.join(root, "usr/share/icons/hicolor/64x64/apps/kvt936p.png")
    result = run(["compare", "-metric", "RMSE", png, drawn, "null:"])
    difference = re.search(r"\(([0-9.e-]+)\)", result.stderr)
    check(difference and float(difference.group(1)) < 0.1,
          "scalable icon differs from the 64-pixel one: " + result.stderr)


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


def check_hardening(root):
    """Debian's hardening flags left their marks on every program."""
    for program in PROGRAMS:
        path = os.path.join(root, "usr/bin", program)
        dynamic = run(["readelf", "-d", "-W", path]).stdout
        check(re.search(r"\(FLAGS\)\s+BIND_NOW", dynamic), f"{program}: no BIND_NOW")
        flags = re.search(r"\(FLAGS_1\)\s+Flags:(.*)", dynamic)
        check(flags and {"NOW", "PIE"} <= set(flags.group(1).split()),
              f"{program}: FLAGS_1 {flags.group(1) if flags else 'missing'}")
        check("GNU_RELRO" in run(["readelf", "-l", "-W", path]).stdout, f"{program}: no RELRO")
        symbols = run(["readelf", "--dyn-syms", "-W", path]).stdout
        check(re.search(r" __\w+_chk@", symbols), f"{program}: no fortified functions")
        check("__stack_chk_fail" in symbols, f"{program}: no stack protector")


def check_changelog(root, version):
    with gzip.open(os.path.join(root, "usr/share/doc/kvt936p/changelog.gz"), "rt") as lines:
        newest = lines.readline()
    check(newest.startswith(f"kvt936p ({version}) "), "changelog does not start with the "
          f"package version {version}: {newest}")


def check_metainfo(root, version):
    component = ElementTree.parse(os.path.join(root, METAINFO)).getroot()
    language = "{http://www.w3.org/XML/1998/namespace}lang"
    summaries = {summary.get(language, "en") for summary in component.findall("summary")}
    check(summaries == {"en", "ja"}, f"metainfo summaries in {sorted(summaries)}")
    check(component.findtext("launchable") == "kvt936p.desktop", "metainfo launchable")
    check(component.findtext("screenshots/screenshot/image", "").startswith("https://"),
          "metainfo has no screenshot")
    release = component.find("releases/release")
    check(release is not None and release.get("version") == version, "metainfo release")
    binaries = [binary.text for binary in component.findall("provides/binary")]
    check(binaries == PROGRAMS, f"metainfo binaries {binaries}")


def complaints_of(command):
    """Runs a checker; its E: and W: lines become problems, the others are shown."""
    result = run(command)
    for line in result.stdout.splitlines():
        if line.startswith(("E:", "W:")):
            problems.append(f"{command[0]}: {line}")
        elif line.strip():
            print(f"{command[0]}: {line}")
    return result


def check_with_debian_tools(root, package):
    result = complaints_of(["lintian", "--pedantic", "--display-info", "--display-experimental",
                            package])
    check(result.returncode in (0, 2), "lintian failed: " + result.stderr)
    result = complaints_of(["appstreamcli", "validate", "--pedantic", "--no-net",
                            os.path.join(root, METAINFO)])
    check(result.returncode == 0, "appstreamcli validate failed: " + result.stderr)


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
        check_scalable_icon(root, work)
        check_man_pages(root, version)
        check_programs_run(root, version)
        check_hardening(root)
        check_changelog(root, version)
        check_metainfo(root, version)
        check_with_debian_tools(root, package)
    for problem in problems:
        print("package: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
