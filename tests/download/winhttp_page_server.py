#!/usr/bin/env python3
"""Loopback pages for the WinHTTP client's tests: what the package server of
tools/http-test-server does not serve (HTML pages whole and cut off, a
charset, Set-Cookie lines and a lower-case length header).

    winhttp_page_server.py start --port-file FILE   background, 127.0.0.1,
                                                    FILE gets "<port> <pid> <tls port>"
    winhttp_page_server.py stop --port-file FILE

The same pages are served over HTTPS on <tls port> with a self-signed
certificate made at start (openssl), which no client should trust.

Paths (all take ?key=K, which names the counter of /count)
    /whole      a UTF-8 HTML page with its closing tag, charset=utf-8
    /cut        an HTML page that never closes <html>
    /plain      ASCII text without a charset
    /cookies    two Set-Cookie lines and a "content-length:" header in lower case
    /count      the number of requests made so far with this key, as text
"""
import argparse
import os
import shutil
import signal
import ssl
import subprocess
import sys
import tempfile
import threading
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

# Starting and stopping by port file is the download test server's.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                "http-test-server"))
from server import start_daemon, stop_daemon  # noqa: E402

_counts = {}
_lock = threading.Lock()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def do_POST(self):
        self.do_GET()

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        key = dict(urllib.parse.parse_qsl(url.query)).get("key", "")
        if url.path == "/count":
            with _lock:
                n = _counts.get(key, 0)
            return self.reply(str(n).encode(), "text/plain")
        with _lock:
            _counts[key] = _counts.get(key, 0) + 1
        if url.path == "/whole":
            return self.reply("<html><body>完整的页面</body></html>".encode("utf-8"), "text/html; charset=utf-8")
        if url.path == "/cut":
            return self.reply(b"<html><body>cut off in the mid", "text/html")
        if url.path == "/plain":
            return self.reply(b"plain text", "text/plain")
        if url.path == "/cookies":
            body = b"ok"
            self.send_response(200)
            self.send_header("Set-Cookie", "a=1; path=/")
            self.send_header("Set-Cookie", "b=2")
            self.send_header("content-length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        self.reply(b"not found", "text/plain", 404)

    def reply(self, body, ctype, status=200):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def self_signed_tls_server(folder):
    cert = os.path.join(folder, "cert.pem")
    key = os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", cert],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    tls = Server(("127.0.0.1", 0), Handler)
    tls.socket = context.wrap_socket(tls.socket, server_side=True)
    return tls


def serve(port_file):
    httpd = Server(("127.0.0.1", 0), Handler)
    folder = tempfile.mkdtemp(prefix="tw-winhttp-tls-")
    try:
        tls = self_signed_tls_server(folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    threading.Thread(target=tls.serve_forever, daemon=True).start()
    tmp = port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d %d %d\n" % (httpd.server_address[1], os.getpid(), tls.server_address[1]))
    os.replace(tmp, port_file)

    def shutdown(*_):
        threading.Thread(target=lambda: (tls.shutdown(), httpd.shutdown())).start()

    signal.signal(signal.SIGTERM, shutdown)
    httpd.serve_forever()
    if os.path.exists(port_file):
        os.remove(port_file)


def start(port_file):
    return start_daemon(__file__, port_file)


def stop(port_file):
    return stop_daemon(__file__, port_file)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("command", choices=["start", "stop", "serve"])
    ap.add_argument("--port-file", required=True)
    a = ap.parse_args()
    if a.command == "serve":
        serve(a.port_file)
        return 0
    return start(a.port_file) if a.command == "start" else stop(a.port_file)


if __name__ == "__main__":
    sys.exit(main())
