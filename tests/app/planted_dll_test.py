#!/usr/bin/env python3
"""Plants a DLL under each guarded name next to copies of the installer and
runs them under Wine: the planted copies must never be loaded.

Wine is told to prefer a native DLL over its own for those names, as
Windows does for a DLL in a program's folder; a control load from the
program's own folder proves that a planted copy would run if anything looked
there. Wine's loader trace shows where each guarded DLL really came from.
"""
import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

# Wine's loaders, as scripts/lib/settings.sh names them; the 32-bit one
# also starts i686 programs.
WINE64, WINE32 = subprocess.run(
    ["bash", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib", "settings.sh"),
     "TW_WINE64", "TW_WINE32"], capture_output=True, text=True, check=True).stdout.split()
SKIP = 77  # ctest: skipped
# Where Windows keeps its DLLs; a 32-bit program gets them from syswow64.
SYSTEM_FOLDERS = ("c:\\windows\\system32\\", "c:\\windows\\syswow64\\")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine_for(program):
    """The Wine loader for a PE file: i686 programs need the 32-bit one."""
    with open(program, "rb") as f:
        header = f.read(4096)
    offset = int.from_bytes(header[0x3C:0x40], "little")
    machine = int.from_bytes(header[offset + 4:offset + 6], "little")
    return WINE32 if machine == 0x14C else WINE64


def run(args, env, timeout=240):
    loader = wine_for(args[0])
    try:
        result = subprocess.run([loader] + args, env=env, capture_output=True, timeout=timeout)
    except OSError as error:
        sys.exit("cannot start %s with %s: %s (i686 programs need a kernel that runs 32-bit code)"
                 % (args[0], loader, error))
    return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")


def loaded_modules(trace):
    """{lower-case file name: [lower-case full path, ...]} from WINEDEBUG=+loaddll."""
    modules = {}
    for match in re.finditer(r'Loaded L"([^"]+)"', trace):
        path = match.group(1).replace("\\\\", "\\").lower()
        modules.setdefault(path.rsplit("\\", 1)[-1], []).append(path)
    return modules


def markers(folder):
    return sorted(os.path.basename(p) for p in glob.glob(os.path.join(folder, "*.loaded")))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--plant", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--names", nargs="+", required=True, help="the delay-loaded DLLs")
    parser.add_argument("--by-name", nargs="*", default=[], help="more DLLs that system code loads by name")
    options = parser.parse_args()
    # A machine whose kernel refuses 32-bit programs cannot run the i686
    # build at all: skipped, never passed.
    if subprocess.run([options.wine_run, options.prefix, "--can-run", options.cli]).returncode == SKIP:
        print("SKIPPED: this machine cannot run %s" % options.cli)
        return SKIP
    names = [n.lower() + ".dll" for n in options.names]
    by_name = names + [n.lower() + ".dll" for n in options.by_name]

    folder = tempfile.mkdtemp(prefix="planted-", dir=os.path.dirname(options.cli))
    try:
        cli = os.path.join(folder, os.path.basename(options.cli))
        probe = os.path.join(folder, os.path.basename(options.probe))
        shutil.copy(options.cli, cli)
        shutil.copy(options.probe, probe)
        # Only the delay-loaded names sit next to the installer: Wine resolves
        # the static imports of its own system DLLs through the program's
        # folder too (Windows takes KnownDLLs' imports from System32), so a
        # version.dll there would be loaded by Wine before any of our code.
        for name in by_name:
            shutil.copy(options.plant, os.path.join(folder, name))

        # The project's runner makes the prefix if needed.
        subprocess.run([options.wine_run, options.prefix, "cmd", "/c", "exit"], capture_output=True, timeout=300)
        env = dict(os.environ, WINEPREFIX=options.prefix, WINEDEBUG="+loaddll", LANG="C.UTF-8",
                   WINEDLLOVERRIDES="mscoree,mshtml=;" + ",".join(n[:-4] for n in by_name) + "=n,b")

        code, _, _ = run([probe, "guard"], env)
        check(code == 0, "the DLL search was not restricted before the static initialisers ran")

        code, out, _ = run([probe, "from-own-folder", "winmm.dll"], env)
        check(code == 0 and "winmm.dll.loaded" in markers(folder),
              "control: a DLL loaded from the program's folder on purpose left no marker (%d %s)" % (code, out))
        for marker in markers(folder):
            os.remove(os.path.join(folder, marker))

        for name in by_name:
            code, out, _ = run([probe, "by-name", name], env)
            check(windows_path(folder).lower() not in out.lower(), "%s by name came from the program's folder: %s"
                  % (name, out.strip()))
        check(markers(folder) == [], "loading by name used planted DLLs: %s" % markers(folder))
        for name in by_name:
            if name not in names:
                os.remove(os.path.join(folder, name))

        with open(options.port_file) as f:
            port = int(f.read().split()[0])
        install_dir = os.path.join(folder, "inst")
        url = "http://127.0.0.1:%d/gen/2097152/tarnwick_setup.exe" % port
        common = ["-ischecknet=false", "-installdir=" + windows_path(install_dir), "-downloadurl=" + url]
        # (label, arguments, exit codes, names not planted for this run).
        # The served bytes are no program: the download succeeds and the
        # package cannot start (exit code 8). Wine's own winhttp.dll
        # delay-loads crypt32.dll (which imports bcrypt.dll) searching the
        # program's folder despite the process's default DLL folders, which
        # Windows applies; those two are planted for the other runs.
        runs = [
            ("help", ["-help"], {0, 1}, set()),
            ("winhttp", ["-downloadtype=2"] + common, {8}, {"crypt32.dll", "bcrypt.dll"}),
            ("curl", ["-downloadtype=1"] + common, {8}, set()),
            ("segmented curl", ["-downloadtype=3"] + common, {8}, set()),
        ]
        seen = {}
        for label, args, expected, unplanted in runs:
            for name in unplanted:
                os.rename(os.path.join(folder, name), os.path.join(folder, name + ".aside"))
            code, out, err = run([cli] + args, env)
            for name in unplanted:
                os.rename(os.path.join(folder, name + ".aside"), os.path.join(folder, name))
            check(code in expected, "cli %s: exit code %d, expected %s\n%s" % (label, code, sorted(expected),
                                                                                out[-2000:]))
            for module, paths in loaded_modules(err).items():
                seen.setdefault(module, set()).update(paths)
            shutil.rmtree(install_dir, ignore_errors=True)

        for name in names:
            for path in sorted(seen.get(name, ())):
                check(path.startswith(SYSTEM_FOLDERS), "%s was loaded from %s" % (name, path))
        check("winhttp.dll" in seen, "the WinHTTP run did not load winhttp.dll; the test proves nothing for it")
        print("guarded DLLs loaded: " + ", ".join(sorted(n for n in names if n in seen)))
        check(markers(folder) == [], "planted DLLs were loaded: %s" % markers(folder))
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
