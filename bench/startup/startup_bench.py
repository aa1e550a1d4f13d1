#!/usr/bin/env python3
"""Start-up of TarnwickSetup.exe under Wine: time from process start to its
window being mapped and painted on an Xvfb display, against a peer measured
in the same run (Wine's own notepad, a plain Win32 window), plus the sizes
of the executables.

    startup_bench.py --exe <build>/bin/TarnwickSetup.exe --prefix <wine prefix>
                     [--runs 7] [--size FILE ...]

"Painted" is taken as: the window is mapped and the pixel at its centre is no
longer the display's black background. The first run of each program warms
Wine up and is reported apart. Prints one line per program and the ratio of
the warm medians. A benchmark, not a test: nothing is asserted.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

# The project's Wine runner: it knows the loader and makes the prefix.
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake", "wine-run")


def start_display():
    read, write = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        return proc, ":" + f.readline().strip()


def painted(env, title):
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=env,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.split()
    if not ids:
        return False
    geo = subprocess.run(["xdotool", "getwindowgeometry", ids[-1]], env=env, stdout=subprocess.PIPE).stdout.split()
    x, y = (int(v) for v in geo[geo.index(b"Position:") + 1].split(b","))
    w, h = (int(v) for v in geo[geo.index(b"Geometry:") + 1].split(b"x"))
    pixel = subprocess.run(["import", "-window", "root", "-crop", "1x1+%d+%d" % (x + w // 2, y + h // 2),
                            "-depth", "8", "txt:-"], env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL).stdout
    return b"#000000" not in pixel


def measure(prefix, argv, title, env, limit=60.0):
    started = time.monotonic()
    proc = subprocess.Popen([WINE_RUN, prefix] + argv, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        while time.monotonic() - started < limit:
            if painted(env, title):
                return time.monotonic() - started
            time.sleep(0.02)
        return float("nan")
    finally:
        proc.kill()
        proc.wait()
        subprocess.run([WINE_RUN, prefix, "--server", "-w"], env=env, timeout=60)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--size", nargs="*", default=[])
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "import"):
        if shutil.which(tool) is None:
            print("skipped: %s is not installed" % tool)
            return 0
    display, name = start_display()
    prefix = os.path.abspath(args.prefix)
    env = dict(os.environ, DISPLAY=name)
    try:
        results = {}
        # The prefix is made (fonts included) before the first timed start.
        subprocess.run([WINE_RUN, prefix, "cmd", "/c", "exit"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300)
        for label, argv, title in (("TarnwickSetup.exe", [args.exe], "^Tarnwick$"),
                                   ("notepad (peer)", ["notepad"], "Notepad")):
            times = [measure(prefix, argv, title, env) for _ in range(args.runs + 1)]
            warm = statistics.median(times[1:])
            results[label] = warm
            print("%-20s first %.2f s, warm median %.2f s over %d runs" % (label, times[0], warm, args.runs))
        print("ratio TarnwickSetup/notepad: %.2f" % (results["TarnwickSetup.exe"] / results["notepad (peer)"]))
        for path in [args.exe] + args.size:
            size = os.path.getsize(path)
            print("size %s: %d bytes (%.2f MiB)" % (path, size, size / 1048576.0))
    finally:
        subprocess.run([WINE_RUN, prefix, "--server", "-k"], env=env, timeout=60)
        display.terminate()
    return 0


if __name__ == "__main__":
    sys.exit(main())
