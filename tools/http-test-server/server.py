#!/usr/bin/env python3
"""Loopback HTTP server for the download engine's tests.

It plays the package server: header-only requests answered with a length,
redirect chains that end at a URL carrying the body's MD5 as the
second-to-last path segment, byte ranges, and faults injected on request.

    server.py start --port-file FILE   start in the background on 127.0.0.1
                                       with an ephemeral port; FILE gets
                                       "<port> <pid>" once it listens
    server.py stop --port-file FILE    stop the server named in FILE
    server.py serve [--port N]         run in the foreground (debugging)

Paths
    /f/<size>/<md5>/<name>   the body: <size> deterministic bytes whose MD5
                             is <md5> when the client follows the redirects
                             below ("bad" or any other text is served too, so
                             tests can ask for a mismatching or missing MD5)
    /gen/<size>/<name>       302 -> /hop/<size>/<name> -> 302 ->
                             /f/<size>/<real md5>/<name> (query kept)
    /loop/<name>             302 to itself, for ever
    /fileredir/<name>        302 to file:///etc/hostname (a forbidden scheme)
    /stats?key=K             JSON: {"head": n, "get": n, "ranges": [...]}

Query parameters of /gen, /hop and /f (all optional)
    key=K        names the counters of /stats and of "times"
    fault=F      one of: truncate, reset, norange (200 with the whole body
                 whatever the range), zerostart (206 whose range starts at
                 0 whatever was asked), status, drip, idle, endless,
                 nolength, lie, neglength (Content-Length: -5), hugeheader
    on=get|head|all   which requests get the fault (default get)
    times=N      apply the fault to the first N matching requests of key K
                 only (default: always)
    then=F       after those N, apply fault F instead (a cut, then a
                 resume that the server answers wrongly)
    code=C       status of fault=status (default 500)
    at=B         bytes of body sent before truncate/reset (default half)
    header=B     size of the extra header of fault=hugeheader
    md5=M        serve /gen's final URL with M instead of the real MD5
                 ("upper" gives the real MD5 in upper case)
"""
import argparse
import hashlib
import json
import os
import random
import signal
import socket
import struct
import subprocess
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

_bodies = {}
_bodies_lock = threading.Lock()
_counters = {}
_counters_lock = threading.Lock()


def body_of(size):
    """Deterministic, non-periodic bytes, so a misplaced range shows in the MD5."""
    with _bodies_lock:
        if size not in _bodies:
            data = random.Random(size).randbytes(size)
            _bodies[size] = (data, hashlib.md5(data).hexdigest())
        return _bodies[size]


def count(key, method, range_header):
    """Counts one request; returns how many of this method came before it."""
    with _counters_lock:
        c = _counters.setdefault(key, {"head": 0, "get": 0, "ranges": []})
        name = "head" if method == "HEAD" else "get"
        before = c[name]
        c[name] += 1
        if name == "get":
            c["ranges"].append(range_header or "")
        return before


def parse_range(header, size):
    """First range of a "bytes=a-b" header as (start, end) inclusive, or None."""
    if not header or not header.startswith("bytes="):
        return None
    first = header[len("bytes="):].split(",")[0].strip()
    a, _, b = first.partition("-")
    try:
        if a == "":
            n = int(b)
            return (max(size - n, 0), size - 1)
        start = int(a)
        end = int(b) if b else size - 1
    except ValueError:
        return None
    return (start, min(end, size - 1))


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TwTestServer/1.0"

    def log_message(self, fmt, *args):  # quiet: ctest output stays readable
        pass

    def do_HEAD(self):
        self.route("HEAD")

    def do_GET(self):
        self.route("GET")

    def route(self, method):
        url = urllib.parse.urlsplit(self.path)
        q = dict(urllib.parse.parse_qsl(url.query))
        parts = [p for p in url.path.split("/") if p]
        try:
            if parts[:1] == ["stats"]:
                return self.stats(q)
            if parts[:1] == ["loop"]:
                return self.redirect(self.path)
            if parts[:1] == ["fileredir"]:
                return self.redirect("file:///etc/hostname")
            if len(parts) == 3 and parts[0] == "gen":
                return self.redirect("/hop/%s/%s%s" % (parts[1], parts[2], self.query_of(url)))
            if len(parts) == 3 and parts[0] == "hop":
                size = int(parts[1])
                md5 = body_of(size)[1]
                if q.get("md5") == "upper":
                    md5 = md5.upper()
                elif "md5" in q:
                    md5 = q["md5"]
                return self.redirect("/f/%d/%s/%s%s" % (size, md5, parts[2], self.query_of(url)))
            if len(parts) >= 3 and parts[0] == "f":
                return self.file(method, int(parts[1]), q)
        except (ValueError, IndexError):
            pass
        self.plain(404, b"not found\n")

    @staticmethod
    def query_of(url):
        return "?" + url.query if url.query else ""

    def stats(self, q):
        with _counters_lock:
            c = _counters.get(q.get("key", ""), {"head": 0, "get": 0, "ranges": []})
            text = json.dumps(c).encode()
        self.plain(200, text, "application/json")

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def plain(self, status, body, ctype="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def file(self, method, size, q):
        key = q.get("key", "")
        before = count(key, method, self.headers.get("Range"))
        fault = q.get("fault", "")
        on = q.get("on", "get")
        applies = fault and (on == "all" or on == method.lower())
        if applies and "times" in q and before >= int(q["times"]):
            applies = False
            if "then" in q:
                fault, applies = q["then"], True
        if not applies:
            fault = ""
        data, _ = body_of(size)

        if fault == "status":
            return self.plain(int(q.get("code", "500")), b"injected failure\n")
        if fault == "idle":
            return self.idle()

        rng = None if fault == "norange" else parse_range(self.headers.get("Range"), size)
        if rng and rng[0] >= size:
            self.send_response(416)
            self.send_header("Content-Range", "bytes */%d" % size)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        start, end = rng if rng else (0, size - 1)
        if fault == "zerostart":
            start, end = 0, end - start
        chunk = data[start:end + 1]

        self.send_response(206 if rng else 200)
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("Content-Type", "application/octet-stream")
        if rng:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, end, size))
        if fault == "hugeheader":
            self.send_header("X-Padding", "p" * int(q.get("header", "102400")))
        if fault in ("nolength", "endless"):
            self.send_header("Connection", "close")
            self.close_connection = True
        elif fault == "lie":
            self.send_header("Content-Length", str(len(chunk) + 1000))
        elif fault == "neglength":
            self.send_header("Content-Length", "-5")
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(len(chunk)))
        self.end_headers()
        if method == "HEAD":
            return

        if fault in ("truncate", "reset"):
            at = int(q.get("at", str(len(chunk) // 2)))
            self.write_slowly(chunk[:at])
            self.close_connection = True
            if fault == "reset":
                # An RST instead of a FIN: SO_LINGER with a zero timeout.
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return
        if fault == "lie":
            self.wfile.write(chunk)
            self.close_connection = True
            return
        if fault == "drip":
            return self.drip(chunk)
        if fault == "endless":
            return self.endless()
        self.wfile.write(chunk)

    def write_slowly(self, chunk):
        self.wfile.write(chunk)
        self.wfile.flush()

    def drip(self, chunk):
        """One byte every three seconds: below one byte per second."""
        self.close_connection = True
        try:
            for i in range(len(chunk)):
                self.wfile.write(chunk[i:i + 1])
                self.wfile.flush()
                if self.wait_for_close(3.0):
                    return
        except OSError:
            pass

    def idle(self):
        """Accepts and reads the request, then says nothing until the client gives up."""
        self.close_connection = True
        self.wait_for_close(600.0)

    def endless(self):
        self.close_connection = True
        block = bytes(range(256)) * 256
        deadline = time.monotonic() + 600
        try:
            while time.monotonic() < deadline:
                self.wfile.write(block)
        except OSError:
            pass

    def wait_for_close(self, seconds):
        """Sleeps up to `seconds`; True as soon as the client has closed."""
        self.connection.settimeout(seconds)
        try:
            return self.connection.recv(1) == b""
        except socket.timeout:
            return False
        except OSError:
            return True
        finally:
            self.connection.settimeout(None)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def serve(port, port_file):
    httpd = Server(("127.0.0.1", port), Handler)
    if port_file:
        tmp = port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write("%d %d\n" % (httpd.server_address[1], os.getpid()))
        os.replace(tmp, port_file)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=httpd.shutdown).start())
    httpd.serve_forever()
    if port_file and os.path.exists(port_file):
        os.remove(port_file)


def start_daemon(script, port_file):
    """Starts `script serve --port-file PORT_FILE` in a session of its own
    and waits (20 s at most) until it has written its port file. Shared with
    the other loopback servers of the tests."""
    if os.path.exists(port_file):
        stop_daemon(script, port_file)
    child = subprocess.Popen(
        [sys.executable, os.path.abspath(script), "serve", "--port-file", port_file],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        start_new_session=True)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        if os.path.exists(port_file):
            print(open(port_file).read().strip())
            return 0
        if child.poll() is not None:
            print("server exited with %d" % child.returncode, file=sys.stderr)
            return 1
        time.sleep(0.05)
    child.kill()
    print("server did not start", file=sys.stderr)
    return 1


def stop_daemon(script, port_file):
    """Stops the server named by the port file ("<port> <pid> ...") and
    removes the file."""
    try:
        pid = int(open(port_file).read().split()[1])
        # Only our own server: a stale file may name a reused PID.
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            if os.path.basename(script).encode() not in f.read():
                raise ValueError("not the test server")
        os.kill(pid, signal.SIGTERM)
    except (OSError, ValueError, IndexError):
        pass
    deadline = time.monotonic() + 10
    while os.path.exists(port_file) and time.monotonic() < deadline:
        time.sleep(0.05)
    if os.path.exists(port_file):
        os.remove(port_file)
    return 0


def start(port_file):
    return start_daemon(__file__, port_file)


def stop(port_file):
    return stop_daemon(__file__, port_file)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("command", choices=["start", "stop", "serve"])
    ap.add_argument("--port-file")
    ap.add_argument("--port", type=int, default=0)
    a = ap.parse_args()
    if a.command == "serve":
        serve(a.port, a.port_file)
        return 0
    if not a.port_file:
        ap.error("--port-file is required")
    return start(a.port_file) if a.command == "start" else stop(a.port_file)


if __name__ == "__main__":
    sys.exit(main())
