#!/usr/bin/env python3
"""Pictures of the real installer for the README, taken from real runs.

TarnwickSetup.exe runs under Wine on an Xvfb display of its own (with a
compositing manager, so the drop shadow is blended as on Windows) and is
driven like a user drives it, with the helpers of the GUI end-to-end test
(tests/e2e/gui_e2e.py): real clicks, the trace file to know what shows.
A loopback server hands out the fake package slowly enough for the progress
page to show its speed and time left, and fails on purpose for the network
dialog. Each picture is the window (or dialog) with a margin for its shadow.

    real_run_screenshots.py --bin <win64 build>/bin --prefix <wine prefix>
                            --wine-run <cmake/wine-run> --out <folder>

Exit status: 0 every picture taken, 1 one was not, 77 skipped (no Xvfb,
xdotool, ImageMagick or xcompmgr). Every wait is bounded.
"""
import argparse
import hashlib
import http.server
import os
import shutil
import socketserver
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import gui_e2e as e2e  # noqa: E402

SKIP = 77
MARGIN = 14  # the shadow: 6 pixels, offset 1, blurred
BACKDROP = "#E4E8EE"
PACKAGE_BYTES = 24 << 20
BYTES_PER_SECOND = 3 << 20
# The package: a message while it works, its own progress, then success.
SCENARIO = ("out Encode=UTF8\ninstall-files\nout Progress=0.3\nsleep 1200\n"
            "out Message=安装即将完成，请勿关闭电脑\nsleep 600\nout Progress=0.6\nsleep 12000\n"
            "out Progress=0.9\nout InstPath=${DIR}\nout FinsihCloseDetention=5000\nout State=Success\n")


class SlowPackageServer:
    """Serves /<md5>/package.exe at a steady, modest rate and /fail/package.exe
    as a server error, on 127.0.0.1."""

    def __init__(self, body):
        self.body = body
        self.md5 = hashlib.md5(body).hexdigest()
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_HEAD(self):
                self.answer(send_body=False)

            def do_GET(self):
                self.answer(send_body=True)

            def answer(self, send_body):
                if self.path != "/%s/package.exe" % outer.md5:
                    self.send_response(503 if self.path.startswith("/fail/") else 404)
                    self.send_header("Content-Length", "0")
                    self.end_headers()
                    return
                self.send_response(200)
                self.send_header("Content-Length", str(len(outer.body)))
                self.end_headers()
                if not send_body:
                    return
                chunk = 64 << 10
                started = time.monotonic()
                try:
                    for offset in range(0, len(outer.body), chunk):
                        self.wfile.write(outer.body[offset:offset + chunk])
                        due = started + (offset + chunk) / BYTES_PER_SECOND
                        time.sleep(max(0.0, due - time.monotonic()))
                except (BrokenPipeError, ConnectionResetError):
                    pass

        class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True

        self.httpd = Server(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def url(self):
        return "http://127.0.0.1:%d/%s/package.exe" % (self.port, self.md5)

    def failing_url(self):
        return "http://127.0.0.1:%d/fail/package.exe" % self.port

    def close(self):
        self.httpd.shutdown()


class ShadowEnv(e2e.Env):
    """The end-to-end environment with the shadow switched on (a compositing
    manager runs on the display)."""

    def base_env(self):
        env = super().base_env()
        env["TW_SHADOW_ON_WINE"] = "1"
        return env


class Pictures:
    def __init__(self, env, out):
        self.env = env
        self.out = out
        self.taken = []

    @staticmethod
    def shown_rect(run, title):
        """(left, top, right, bottom) of the visible window `title`, or None."""
        ids = run.xdo("search", "--onlyvisible", "--name", "^%s$" % title)
        if not ids:
            return None
        info = run.xdo("getwindowgeometry", ids[-1])
        x, y = (int(v) for v in info[info.index("Position:") + 1].split(","))
        w, h = (int(v) for v in info[info.index("Geometry:") + 1].split("x"))
        return x, y, x + w, y + h

    def take(self, run, name, title="Tarnwick"):
        """The window `title` with its shadow; a dialog is shown over the
        main window behind it, as the user sees it."""
        time.sleep(0.8)  # let the window finish painting (and the shadow follow)
        run.geometry(title)  # waits for it
        rects = [r for r in (self.shown_rect(run, title), self.shown_rect(run, "Tarnwick")) if r]
        left, top = min(r[0] for r in rects), min(r[1] for r in rects)
        right, bottom = max(r[2] for r in rects), max(r[3] for r in rects)
        geometry = "%dx%d+%d+%d" % (right - left + 2 * MARGIN, bottom - top + 2 * MARGIN, left - MARGIN, top - MARGIN)
        path = os.path.join(self.out, name + ".png")
        subprocess.run(["import", "-display", self.env.display.name, "-window", "root", "-crop", geometry,
                        "+repage", path], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)
        self.taken.append(name)
        print("picture: " + path)

    def dialog(self, run, skin_file, name, button, after=0):
        """Waits for the dialog, takes its picture, then clicks `button`."""
        at = run.wait_line("dialog", skin_file, after=after)
        self.take(run, name, "消息框")
        wid, x, y = run.geometry("消息框")
        l, t, r, b = e2e.DIALOG[skin_file][button]
        run.click_at(wid, x + (l + r) // 2, y + (t + b) // 2)
        run.wait_line("answer", skin_file, after=at)
        return at


def wait_detail(run, *words):
    """Waits for the line under the progress bar to hold every word."""
    def shown():
        return any(l[0] == "detail" and len(l) > 1 and all(w in l[1] for w in words) for l in run.lines())
    e2e.wait_until(shown, "the line under the bar to show %s" % (words,))


def installation(env, server, pictures):
    env.reg_delete()
    run = e2e.Run(env, url=server.url(), scenario=SCENARIO)
    run.wait_page(0)
    pictures.take(run, "main-page0")
    run.click("closebtn")
    pictures.dialog(run, "ExitTipWnd.xml", "exitTipWnd", "cancelBtn")
    run.click("customeBtn")
    run.wait_page(1)
    pictures.take(run, "main-page1")
    run.type_folder("C:\\" + "x" * 270)
    run.click("customeInstallBtn")
    pictures.dialog(run, "MessageBox2Wnd.xml", "MessageBox2Wnd", "closebtn")
    run.click("backBtn")
    run.wait_page(0)
    run.click("defaultInstallBtn")
    run.wait_page(2)
    wait_detail(run, "MB/s", "剩余")
    pictures.take(run, "main-page2-a")
    pictures.dialog(run, "MessageBox1Wnd.xml", "MessageBox1Wnd", "closebtn")
    wait_detail(run, "安装包进度 60%")
    time.sleep(0.5)
    pictures.take(run, "main-page2-b")
    run.wait_page(3)
    pictures.take(run, "main-page3")
    e2e.check(run.wait_exit() == 0, "closed by the finish timer")


def failed_download(env, server, pictures):
    env.reg_delete()
    run = e2e.Run(env, url=server.failing_url())
    run.wait_page(0)
    run.click("defaultInstallBtn")
    pictures.dialog(run, "NetworkTipWnd.xml", "NetworkTipWnd", "cancelBtn")
    run.wait_page(0)
    run.click("closebtn")
    run.answer("ExitTipWnd.xml", "okBtn")
    e2e.check(run.wait_exit() == 0, "closed through the exit prompt")


def earlier_installation(env, server, folder_run, pictures):
    folder_run(env, server, pictures)  # leaves an installation behind
    run = e2e.Run(env, url=server.url())
    pictures.dialog(run, "InstalledPathTipWnd.xml", "InstalledPathTipWnd", "closebtn")
    e2e.check(run.wait_exit() == 0, "closed by the prompt's close button")


def backdrop(display):
    """A plain light backdrop over the whole screen, so the shadow shows as it
    would over a desktop. Returns the process, or None without Tk."""
    code = ("import tkinter as t\nr=t.Tk()\nr.overrideredirect(True)\n"
            "r.geometry('%dx%d+0+0'%(r.winfo_screenwidth(),r.winfo_screenheight()))\n"
            "r.configure(bg='" + BACKDROP + "')\nr.lower()\nr.mainloop()\n")
    env = dict(os.environ, DISPLAY=display.name)
    return subprocess.Popen([sys.executable, "-c", code], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "import", "xcompmgr"):
        if shutil.which(tool) is None:
            print("SKIPPED: %s is not installed" % tool)
            return SKIP
    os.makedirs(args.out, exist_ok=True)
    display = e2e.Display()
    compositor = subprocess.Popen(["xcompmgr"], env=dict(os.environ, DISPLAY=display.name),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    back = backdrop(display)
    time.sleep(1)
    env = ShadowEnv(args, display)
    fake = open(env.fake, "rb").read()
    # The package is the fake one with data behind its image: big enough that
    # the download runs for a few seconds.
    server = SlowPackageServer(fake + b"\0" * max(0, PACKAGE_BYTES - len(fake)))
    pictures = Pictures(env, args.out)
    status = 0
    try:
        earlier_installation(env, server, installation, pictures)
        failed_download(env, server, pictures)
    except Exception as error:  # report, then fail
        print("FAILED: %s" % error)
        status = 1
    finally:
        env.reg_delete()
        env.stop()
        server.close()
        env.remove()
        for process in (back, compositor):
            if process and process.poll() is None:
                process.terminate()
                process.wait(10)
        display.close()
    print("pictures taken: %s" % ", ".join(pictures.taken))
    return status


if __name__ == "__main__":
    sys.exit(main())
