#!/usr/bin/env python3
"""Smoke run of the 32-bit headless installer on Windows XP.

A pure 32-bit Wine prefix (WINEARCH=win32, Wine's 32-bit loader) whose
Windows version is set to XP (HKCU\\Software\\Wine, Version=winxp) runs
tarnwick-setup-cli.exe with a download address that ends in "${ROUTE}".
The loopback server serves the fake package only under the XP route
(/<md5>/download_silent_xp), so the installation succeeds only if the
installer picked the XP package variant by the OS version; it then checks
the installed files and the install record in the prefix's registry.

    xp_smoke.py --bin <build>/bin --prefix <wine prefix> --wine-run <cmake/wine-run>

Exit status: 0 passed, 1 failed, 77 skipped (this machine cannot run
32-bit programs). Every wait is bounded.
"""
import argparse
import hashlib
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading

SKIP = 77
XP_ROUTE = "download_silent_xp"
RECORDS_KEY = r"HKCU\Software\BriselSoft\tarnwick"
LIMIT = 300  # seconds for one Wine command, the prefix's creation included


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class PackageServer:
    """Serves one file under one path on 127.0.0.1 and remembers every path asked for."""

    def __init__(self, path, body):
        self.requests = []
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_HEAD(self):
                self.answer(send_body=False)

            def do_GET(self):
                self.answer(send_body=True)

            def answer(self, send_body):
                server.requests.append(self.path)
                if self.path != path:
                    self.send_error(404)
                    return
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                if send_body:
                    self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Prefix:
    """The pure 32-bit prefix, run through the shared Wine runner."""

    def __init__(self, wine_run, path):
        self.wine_run = wine_run
        self.path = os.path.abspath(path)
        self.env = dict(os.environ, WINEARCH="win32")

    def run(self, *argv, env=None):
        result = subprocess.run([self.wine_run, self.path] + list(argv), env=env or self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=LIMIT)
        if result.returncode == 125:
            raise Failure("the 32-bit prefix could not be set up: "
                          + result.stderr.decode("utf-8", "replace").strip())
        return result

    def server(self, *argv):
        subprocess.run([self.wine_run, self.path, "--server"] + list(argv), env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=LIMIT)

    def reg_value(self, name):
        out = self.run("reg", "query", RECORDS_KEY, "/v", name).stdout.decode("utf-8", "replace")
        for line in out.splitlines():
            parts = line.split("REG_SZ")
            if len(parts) == 2 and parts[0].strip() == name:
                return parts[1].strip()
        return None


def become_windows_xp(prefix):
    result = prefix.run("reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/t", "REG_SZ",
                        "/d", "winxp", "/f")
    check(result.returncode == 0, "the Windows version could not be set to XP")
    check(not os.path.isdir(os.path.join(prefix.path, "drive_c", "windows", "syswow64")),
          "the prefix is not a pure 32-bit one (it has syswow64): remove " + prefix.path)
    ver = prefix.run("cmd", "/c", "ver").stdout.decode("utf-8", "replace")
    check("5.1." in ver, "the prefix does not report Windows XP (5.1): %r" % ver.strip())


def smoke(args, work, prefix):
    fake = os.path.join(args.bin, "fake-package.exe")
    cli = os.path.join(args.bin, "tarnwick-setup-cli.exe")
    body = open(fake, "rb").read()
    md5 = hashlib.md5(body).hexdigest()
    server = PackageServer("/%s/%s" % (md5, XP_ROUTE), body)
    try:
        become_windows_xp(prefix)
        prefix.run("reg", "delete", RECORDS_KEY, "/f")
        folder = os.path.join(work, "Tarnwick")
        fake_log = os.path.join(work, "children.log")
        env = dict(prefix.env, TW_FAKE_LOG=winpath(fake_log), TW_FAKE_PACKAGE_SCENARIO="")
        url = "http://127.0.0.1:%d/%s/${ROUTE}" % (server.port, md5)
        run = prefix.run(cli, "-downloadurl=" + url, "-ischecknet=false", "-installdir=" + winpath(folder),
                         env=env)
        output = (run.stdout + run.stderr).decode("utf-8", "replace")
        print(output)
        print("requests: %s" % server.requests)
        check(run.returncode == 0, "the installer exited with %d" % run.returncode)
        check(server.requests and all(p.endswith("/" + XP_ROUTE) for p in server.requests),
              "the download did not take the XP route: %s" % server.requests)
        log = open(fake_log, encoding="utf-8").read().splitlines() if os.path.exists(fake_log) else []
        check(len(log) == 1 and log[0].startswith("install\t"), "the package ran once: %s" % log)
        check(os.path.isfile(os.path.join(folder, "Tarnwick.exe")), "the package installed its files")
        recorded = prefix.reg_value("InstallPath")
        check(recorded is not None and recorded.lower() == winpath(folder).lower(),
              "the install record names the folder: %r" % recorded)
    finally:
        server.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--wine-run", required=True)
    args = parser.parse_args()
    prefix = Prefix(args.wine_run, args.prefix)
    cli = os.path.join(args.bin, "tarnwick-setup-cli.exe")
    if subprocess.run([args.wine_run, prefix.path, "--can-run", cli], env=prefix.env).returncode == SKIP:
        print("SKIPPED: this machine cannot run 32-bit programs")
        return SKIP
    work = tempfile.mkdtemp(prefix="tw-xp-smoke.")
    try:
        smoke(args, work, prefix)
        print("PASS the XP route installs the package")
        return 0
    except (Failure, subprocess.TimeoutExpired, OSError) as error:
        print("FAIL %s" % error)
        return 1
    finally:
        try:
            prefix.run("reg", "delete", RECORDS_KEY, "/f")
        except (Failure, subprocess.TimeoutExpired):
            pass
        # Ends what is left in this prefix, which belongs to this test alone.
        prefix.server("-k")
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
