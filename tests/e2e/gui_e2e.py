#!/usr/bin/env python3
"""End-to-end tests of the real TarnwickSetup.exe under Wine and Xvfb.

The installer is driven the way a user drives it: real X mouse clicks and
key presses (xdotool) at the centres of the named controls, whose
rectangles the skin's markup fixes (the toolkit's layout tests assert the
same numbers). What the window shows is read back from the trace file the
executable writes when TARNWICK_UI_TRACE names one (ui/main/ui_trace.h):
pages, progress texts, dialogs and their answers, closing.

Packages come from a loopback HTTP server of this script (the fake package
under /<md5>/package.exe, the MD5 convention of the download server); the
failing download asks the shared test server (tools/http-test-server,
started by its ctest fixture) for a server error. Records are read from the
real registry of a private Wine prefix.

    gui_e2e.py --bin <build>/bin --prefix <wine prefix> --wine-run <cmake/wine-run>

Exit status: 0 all passed, 1 a case failed, 77 skipped (no Xvfb/xdotool).
Every wait is bounded; a case that hangs fails instead of blocking ctest.
"""
import argparse
import hashlib
import http.server
import os
import shutil
import socketserver
import subprocess
import sys
import tempfile
import threading
import time
import traceback

SKIP = 77

# Control rectangles in client coordinates (left, top, right, bottom).
MAIN = {
    "closebtn": (562, 12, 586, 36),
    "defaultInstallBtn": (200, 214, 400, 260),
    "customeBtn": (489, 362, 589, 382),
    "backBtn": (10, 11, 74, 41),
    "installDirEdit": (129, 178, 469, 214),
    "chDirBtn": (479, 178, 560, 214),
    "createDSCb": (125, 234, 263, 252),
    "createQSCb": (283, 234, 421, 252),
    "customeInstallBtn": (200, 301, 400, 347),
    "openProduceBtn": (200, 292, 400, 338),
}
DIALOG = {
    "MessageBox1Wnd.xml": {"closebtn": (330, 3, 354, 27)},
    "MessageBox2Wnd.xml": {"closebtn": (330, 3, 354, 27)},
    "ExitTipWnd.xml": {"okBtn": (172, 128, 248, 160), "cancelBtn": (264, 128, 340, 160),
                       "closebtn": (328, 8, 352, 32)},
    "NetworkTipWnd.xml": {"okBtn": (252, 128, 340, 160), "cancelBtn": (148, 128, 236, 160),
                          "closebtn": (330, 3, 354, 27)},
    "InstalledPathTipWnd.xml": {"okBtn": (270, 128, 380, 160), "cancelBtn": (154, 128, 254, 160),
                                "closebtn": (370, 3, 394, 27)},
}
RUNNING = "安装程序检测到Tarnwick  正在运行，请退出程序后再安装"  # the trace writes \r\n as spaces
RECORDS_KEY = r"HKCU\Software\BriselSoft\tarnwick"
LIMIT = 90.0  # seconds any single wait may take


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, what, limit=LIMIT):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise Failure("timed out waiting for " + what)


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Display:
    """Xvfb on a display it picks itself (-displayfd)."""

    def __init__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            self.proc.kill()
            raise Failure("Xvfb did not report a display")
        self.name = ":" + number

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


class PackageServer:
    """Serves files of a folder over HTTP on 127.0.0.1."""

    def __init__(self, root):
        handler = lambda *a, **k: http.server.SimpleHTTPRequestHandler(*a, directory=root, **k)

        class Quiet(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True

        http.server.SimpleHTTPRequestHandler.log_message = lambda *a: None
        self.httpd = Quiet(("127.0.0.1", 0), handler)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()


class Env:
    def __init__(self, args, display):
        self.args = args
        self.display = display
        self.work = tempfile.mkdtemp(prefix="tw-e2e-")
        self.prefix = os.path.abspath(args.prefix)
        self.bin = os.path.abspath(args.bin)
        self.exe = os.path.join(self.bin, "TarnwickSetup.exe")
        self.fake = os.path.join(self.bin, "fake-package.exe")
        srv = os.path.join(self.work, "srv")
        md5 = hashlib.md5(open(self.fake, "rb").read()).hexdigest()
        os.makedirs(os.path.join(srv, md5))
        shutil.copy(self.fake, os.path.join(srv, md5, "package.exe"))
        self.server = PackageServer(srv)
        self.package_url = "http://127.0.0.1:%d/%s/package.exe" % (self.server.port, md5)
        self.fixture_port = None
        port_file = os.path.join(self.bin, "http-test-server.port")
        if os.path.exists(port_file):
            self.fixture_port = int(open(port_file).read().split()[0])
        self.children = []
        # The prefix is made (and its fonts set up) by the shared runner.
        subprocess.run([args.wine_run, self.prefix, "cmd", "/c", "exit"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300)
        # A copy left over from an interrupted run would hold the
        # single-instance guard; the prefix is this test's own.
        self.end_session()

    def base_env(self):
        env = dict(os.environ)
        env.update({"WINEPREFIX": self.prefix, "WINEDEBUG": "-all", "DISPLAY": self.display.name,
                    "WINEDLLOVERRIDES": "mscoree,mshtml=", "LANG": "C.UTF-8"})
        return env

    def wine_argv(self, *argv):
        """A command under Wine in this test's prefix (cmake/wine-run knows the loader)."""
        return [self.args.wine_run, self.prefix] + list(argv)

    def wine(self, *argv, env=None, timeout=120):
        return subprocess.run(self.wine_argv(*argv), env=env or self.base_env(), stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=timeout)

    def end_session(self):
        """Ends every program of this private prefix and its desktop (explorer); the next program starts them anew."""
        subprocess.run(self.wine_argv("--server", "-k"), env=self.base_env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)

    def reg_delete(self):
        self.wine("reg", "delete", RECORDS_KEY, "/f")

    def reg_query(self, name):
        out = self.wine("reg", "query", RECORDS_KEY, "/v", name).stdout.decode("utf-8", "replace")
        for line in out.splitlines():
            parts = line.split("REG_SZ")
            if len(parts) == 2 and parts[0].strip() == name:
                return parts[1].strip()
        return None

    def unix_of(self, windows_path):
        if windows_path[:2].upper() == "Z:":
            return windows_path[2:].replace("\\", "/")
        if windows_path[:2].upper() == "C:":
            return os.path.join(self.prefix, "drive_c", windows_path[3:].replace("\\", "/"))
        raise Failure("no unix path for " + windows_path)

    def write(self, name, text):
        path = os.path.join(self.work, name)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def stop(self):
        for child in self.children:
            if child.poll() is None:
                child.kill()
        # Ends what is left of this private prefix (an opened product, a
        # package still running); the prefix belongs to this test alone.
        self.end_session()
        self.server.close()

    def remove(self):
        shutil.rmtree(self.work, ignore_errors=True)


class Run:
    """One start of the installer."""

    count = 0

    def __init__(self, env, url=None, scenario=None, extra_args=(), extra_env=None):
        Run.count += 1
        self.env = env
        self.trace = os.path.join(env.work, "trace%d.txt" % Run.count)
        self.fake_log = os.path.join(env.work, "fake%d.log" % Run.count)
        e = env.base_env()
        e["TARNWICK_UI_TRACE"] = winpath(self.trace)
        e["TW_FAKE_LOG"] = winpath(self.fake_log)
        e["TW_FAKE_PACKAGE_SCENARIO"] = winpath(env.write("package%d.scenario" % Run.count, scenario)) if scenario else ""
        e.update(extra_env or {})
        argv = env.wine_argv(env.exe, "-downloadurl=" + (url or env.package_url), *extra_args)
        self.proc = subprocess.Popen(argv, env=e, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        env.children.append(self.proc)
        self.window = None

    # ---- what the trace says ---------------------------------------------------
    def lines(self):
        try:
            with open(self.trace, encoding="utf-8") as f:
                return [line.rstrip("\n").split("\t") for line in f]
        except FileNotFoundError:
            return []

    def wait_line(self, *fields, after=0):
        def found():
            lines = self.lines()
            for i in range(after, len(lines)):
                if lines[i][:len(fields)] == list(fields):
                    return i + 1
            return None
        return wait_until(found, "trace line %s (have %s)" % (fields, self.lines()[-6:]))

    def page(self):
        pages = [l[1] for l in self.lines() if l[0] == "page"]
        return int(pages[-1]) if pages else None

    def wait_page(self, page):
        def shown():
            if self.proc.poll() is not None and self.page() != page:
                raise Failure("installer ended with %s before page %d (trace %s)"
                              % (self.proc.returncode, page, self.lines()[-6:]))
            return self.page() == page
        wait_until(shown, "page %d (trace %s)" % (page, self.lines()[-6:]))

    def wait_exit(self):
        try:
            return self.proc.wait(LIMIT)
        except subprocess.TimeoutExpired:
            raise Failure("installer did not exit (trace %s)" % self.lines()[-6:])

    # ---- input ---------------------------------------------------------------------
    def xdo(self, *argv):
        out = subprocess.run(["xdotool"] + list(argv), env=self.env.base_env(), stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=30)
        return out.stdout.decode().split()

    def geometry(self, title):
        ids = wait_until(lambda: self.xdo("search", "--onlyvisible", "--name", "^%s$" % title),
                         "a visible window named " + title)
        wid = ids[-1]
        info = self.xdo("getwindowgeometry", wid)
        x, y = info[info.index("Position:") + 1].split(",")
        return wid, int(x), int(y)

    def click_at(self, wid, x, y):
        self.xdo("mousemove", "--sync", str(x), str(y))
        self.xdo("click", "1")

    def click(self, name):
        wid, x, y = self.geometry("Tarnwick")
        l, t, r, b = MAIN[name]
        self.click_at(wid, x + (l + r) // 2, y + (t + b) // 2)

    def answer(self, skin_file, button, after=0):
        """Waits for the dialog to be shown, then clicks its button."""
        at = self.wait_line("dialog", skin_file, after=after)
        time.sleep(0.5)  # the dialog window is made right after the trace line
        wid, x, y = self.geometry("消息框")
        l, t, r, b = DIALOG[skin_file][button]
        self.click_at(wid, x + (l + r) // 2, y + (t + b) // 2)
        self.wait_line("answer", skin_file, after=at)
        return at

    def type_folder(self, text):
        self.click("installDirEdit")
        time.sleep(0.3)
        self.xdo("key", "ctrl+a")
        self.xdo("type", "--delay", "15", text)
        time.sleep(0.3)

    def key(self, keys):
        wid, _, _ = self.geometry("Tarnwick")
        self.xdo("windowfocus", "--sync", wid)
        self.xdo("key", keys)

    def dialogs(self):
        return [l[1:] for l in self.lines() if l[0] == "dialog"]

    def screenshot(self, name):
        """Keeps a picture of the screen in <build>/e2e-screenshots/ for people
        to look at; nothing is asserted on it."""
        folder = os.path.join(os.path.dirname(self.env.bin), "e2e-screenshots")
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["import", "-display", self.env.display.name, "-window", "root",
                        os.path.join(folder, name + ".png")], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)

    def progress(self):
        return [l[1:] for l in self.lines() if l[0] == "progress"]


# ---- the cases ----------------------------------------------------------------------

SUCCESS = ("install-files\nout Progress=0.4\nout InstPath=${DIR}\nsleep 300\nout Progress=0.8\n"
           "out FinsihCloseDetention=1500\nout State=Success\n")
# The same, slow enough on the progress page for a picture of it.
SUCCESS_SLOWLY = SUCCESS.replace("sleep 300", "sleep 1500")


def default_install_reaches_the_finish_page(env):
    env.reg_delete()
    run = Run(env, scenario=SUCCESS_SLOWLY)
    run.wait_page(0)
    time.sleep(0.5)
    run.screenshot("page0-start")
    folder = [l[1] for l in run.lines() if l[0] == "edit"][0]
    run.click("defaultInstallBtn")
    run.wait_page(2)
    time.sleep(0.5)
    run.screenshot("page2-progress")
    run.wait_page(3)
    time.sleep(0.3)
    run.screenshot("page3-finish")
    check(run.progress()[-1][0] == "100", "the bar ends at 100: %s" % run.progress()[-3:])
    check(run.wait_exit() == 0, "closed by the finish timer with exit code 0")
    check(env.reg_query("InstallPath") == folder, "InstallPath recorded: %s" % env.reg_query("InstallPath"))
    check(env.reg_query("UnInstallEp") == folder + "\\uninst.ep", "UnInstallEp recorded")
    set_ini = open(os.path.join(env.unix_of(folder), "set.ini"), encoding="latin-1").read()
    check("AppName=tarnwick" in set_ini and "DeviceID=" in set_ini, "set.ini written: " + set_ini)
    percents = [int(p[0]) for p in run.progress()]
    check(percents == sorted(percents), "the bar never goes back: %s" % percents)
    return folder


def earlier_installation_prompt_answers(env, folder):
    # "打开软件" starts the installed product and closes the installer. The
    # product opens through the desktop shell, so it gets the desktop's
    # environment: a fresh desktop started by this run passes on its log.
    env.end_session()
    run = Run(env, scenario="out started\n")
    run.answer("InstalledPathTipWnd.xml", "cancelBtn")
    check(run.wait_exit() == 0, "exit code 0")
    wait_until(lambda: os.path.exists(run.fake_log), "the product to start")
    started = open(run.fake_log, encoding="utf-8").read()
    check("Tarnwick.exe" in started, "the installed Tarnwick.exe was opened: " + started)
    # The close button closes the installer.
    run = Run(env)
    run.answer("InstalledPathTipWnd.xml", "closebtn")
    check(run.wait_exit() == 0, "exit code 0")
    check(run.page() == 0, "no installation started")
    # "安装最新版本" removes the earlier installation, then installs into its folder.
    run = Run(env, scenario=SUCCESS)
    run.answer("InstalledPathTipWnd.xml", "okBtn")
    run.wait_page(2)
    run.wait_page(3)
    check(run.wait_exit() == 0, "exit code 0")
    log = open(run.fake_log, encoding="utf-8").read().splitlines()
    check(len(log) >= 2 and log[0].startswith("uninstall\t") and log[1].startswith("install\t"),
          "removal first, then the package: %s" % log)
    check(("/D=" + folder) in log[1], "installed into the recorded folder")


def product_running_at_start_up(env):
    product = os.path.join(env.work, "Tarnwick.exe")
    shutil.copy(env.fake, product)
    e = env.base_env()
    e["TW_FAKE_PACKAGE_SCENARIO"] = winpath(env.write("product.scenario", "sleep 60000\n"))
    running = subprocess.Popen(env.wine_argv(product), env=e, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env.children.append(running)
    try:
        time.sleep(2)
        run = Run(env)
        run.answer("MessageBox1Wnd.xml", "closebtn")
        check(run.dialogs()[0] == ["MessageBox1Wnd.xml", RUNNING], "the running message: %s" % run.dialogs())
        check(run.wait_exit() == 0, "the installer closes after the running message")
        check(not any(d[0] == "InstalledPathTipWnd.xml" for d in run.dialogs()), "no second prompt")
    finally:
        running.kill()
        running.wait(30)


def custom_folder_and_shortcut_choices(env):
    env.reg_delete()
    folder = winpath(os.path.join(env.work, "Custom Place", "Tarnwick"))
    run = Run(env, scenario=SUCCESS)
    run.wait_page(0)
    run.click("customeBtn")
    run.wait_page(1)
    run.type_folder(folder)
    run.screenshot("page1-custom")
    run.click("createDSCb")  # no desktop shortcut; the quick-launch entry stays
    time.sleep(0.3)
    run.click("customeInstallBtn")
    run.wait_page(3)
    check(run.wait_exit() == 0, "exit code 0")
    command = open(run.fake_log, encoding="utf-8").read()
    check("-dsc=false" in command and "-ssc=true" in command, "shortcut choices passed: " + command)
    check(("/D=" + folder) in command, "typed folder passed: " + command)
    check(env.reg_query("InstallPath") == folder, "InstallPath is the typed folder")


def folder_refusals(env, small_drive):
    env.reg_delete()
    run = Run(env)
    run.wait_page(0)
    run.click("customeBtn")
    run.wait_page(1)
    run.type_folder("C:\\" + "x" * 270)
    run.click("customeInstallBtn")
    at = run.answer("MessageBox2Wnd.xml", "closebtn")
    check(run.dialogs()[-1] == ["MessageBox2Wnd.xml", "无效路径"], "invalid path: %s" % run.dialogs())
    check(run.page() == 1, "still on the custom page")
    if small_drive:
        run.type_folder(small_drive + "\\Tarnwick")
        run.click("customeInstallBtn")
        run.answer("MessageBox2Wnd.xml", "closebtn", after=at)
        check(run.dialogs()[-1] == ["MessageBox2Wnd.xml", "当前磁盘剩余空间低于1GB，请修改安装路径"],
              "low space: %s" % run.dialogs())
        check(run.page() == 1, "still on the custom page")
    # Alt+F4 off the progress page closes at once, without the exit prompt.
    run.key("alt+F4")
    check(run.wait_exit() == 0, "Alt+F4 on the custom page closes")
    check(not any(d[0] == "ExitTipWnd.xml" for d in run.dialogs()), "no exit prompt for Alt+F4")


def failed_download_offers_reinstall(env):
    env.reg_delete()
    if env.fixture_port is None:
        raise Failure("the http_test_server fixture is not running")
    url = "http://127.0.0.1:%d/gen/2000000/package.exe?fault=status&code=503" % env.fixture_port
    run = Run(env, url=url)
    run.wait_page(0)
    run.click("defaultInstallBtn")
    first = run.answer("NetworkTipWnd.xml", "okBtn")  # "重新安装"
    run.wait_page(2)
    run.answer("NetworkTipWnd.xml", "cancelBtn", after=first)  # "稍后再试"
    run.wait_page(0)
    time.sleep(1)
    check(run.proc.poll() is None, "without an earlier installation the window stays")
    run.click("closebtn")
    run.answer("ExitTipWnd.xml", "okBtn")
    check(run.wait_exit() == 0, "closed through the exit prompt")


def package_error_line(env):
    env.reg_delete()
    # Texts in UTF-8 need the package to say so first; until then its lines are
    # read in the ANSI code page.
    run = Run(env, scenario="out Encode=UTF8\ninstall-files\nout Progress=0.2\nout Error=磁盘写入失败\nexit 3\n")
    run.wait_page(0)
    run.click("defaultInstallBtn")
    run.answer("MessageBox2Wnd.xml", "closebtn")
    check(run.dialogs()[-1] == ["MessageBox2Wnd.xml", "磁盘写入失败"], "the package's error: %s" % run.dialogs())
    run.wait_page(0)
    run.click("closebtn")
    run.answer("ExitTipWnd.xml", "okBtn")
    check(run.wait_exit() == 0, "exit code 0")


def package_message_keeps_progress_moving(env):
    env.reg_delete()
    scenario = ("out Encode=UTF8\ninstall-files\nout Message=请关闭浏览器后继续\nsleep 800\nout Progress=0.5\nsleep 800\n"
                "out Progress=0.9\nsleep 4000\nout InstPath=${DIR}\nout FinsihCloseDetention=1000\n"
                "out State=Success\n")
    run = Run(env, scenario=scenario)
    run.wait_page(0)
    run.click("defaultInstallBtn")
    shown = run.wait_line("dialog", "MessageBox1Wnd.xml", "请关闭浏览器后继续")
    moved = run.wait_line("progress", after=shown)
    check(not any(l[0] == "answer" for l in run.lines()[shown:moved]), "progress moved under the open message")
    wid, x, y = run.geometry("消息框")
    l, t, r, b = DIALOG["MessageBox1Wnd.xml"]["closebtn"]
    run.click_at(wid, x + (l + r) // 2, y + (t + b) // 2)
    run.wait_page(3)
    check(run.wait_exit() == 0, "exit code 0")


def alt_f4_is_swallowed_on_the_progress_page(env):
    env.reg_delete()
    scenario = ("install-files\nout Progress=0.1\nsleep 3000\nout Progress=0.6\nout InstPath=${DIR}\n"
                "out FinsihCloseDetention=1000\nout State=Success\n")
    run = Run(env, scenario=scenario)
    run.wait_page(0)
    run.click("defaultInstallBtn")
    run.wait_line("progress")
    run.key("alt+F4")
    time.sleep(1)
    check(run.proc.poll() is None and run.page() == 2, "still installing after Alt+F4")
    run.wait_page(3)
    check(run.wait_exit() == 0, "finished and closed by its timer")


def second_instance_exits_at_once(env):
    env.reg_delete()
    first = Run(env)
    first.wait_page(0)
    second = Run(env, extra_args=("-downloadurl=http://127.0.0.1:1/ignored",))
    code = second.wait_exit()
    check(code in (255, -1), "the second copy ends with -1 (got %s)" % code)
    check(second.lines() == [], "the second copy shows nothing")
    check(first.proc.poll() is None, "the first copy runs on")
    first.click("closebtn")
    first.answer("ExitTipWnd.xml", "okBtn")
    check(first.wait_exit() == 0, "exit code 0")


def mount_small_drive(env):
    """A 64 MiB tmpfs as Wine drive S:, or None when it cannot be mounted."""
    mount = os.path.join(env.work, "small")
    os.makedirs(mount)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64m", "tmpfs", mount],
                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode != 0:
        print("note: no tmpfs could be mounted (needs root); the low-space case is left out")
        return None, None
    link = os.path.join(env.prefix, "dosdevices", "s:")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(mount, link)
    return "S:", mount


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool"):
        if shutil.which(tool) is None:
            print("SKIPPED: %s is not installed (apt-get install xvfb xdotool)" % tool)
            return SKIP
    exe = os.path.join(args.bin, "TarnwickSetup.exe")
    if subprocess.run([args.wine_run, args.prefix, "--can-run", exe]).returncode == SKIP:
        print("SKIPPED: this machine cannot run %s" % exe)
        return SKIP
    display = Display()
    env = Env(args, display)
    small, mount = mount_small_drive(env)
    failures = []

    def case(name, function, *a):
        if args.only and args.only not in name:
            return None
        started = time.monotonic()
        try:
            result = function(env, *a)
            print("PASS %s (%.1f s)" % (name, time.monotonic() - started))
            return result
        except Exception as error:  # report every case, then fail
            failures.append(name)
            print("FAIL %s: %s" % (name, error))
            traceback.print_exc()
        finally:
            for child in env.children:
                if child.poll() is None:
                    child.kill()
                    child.wait(30)
            env.children.clear()
        return None

    try:
        case("second instance exits with -1", second_instance_exits_at_once)
        case("invalid path and low space", folder_refusals, small)
        case("failed download offers 重新安装", failed_download_offers_reinstall)
        case("package Error= line", package_error_line)
        case("package Message= line", package_message_keeps_progress_moving)
        case("Alt+F4 on the progress page", alt_f4_is_swallowed_on_the_progress_page)
        case("custom folder and shortcuts", custom_folder_and_shortcut_choices)
        folder = case("default install", default_install_reaches_the_finish_page)
        if folder:
            case("earlier installation prompt", earlier_installation_prompt_answers, folder)
            case("product running at start-up", product_running_at_start_up)
    finally:
        env.reg_delete()
        env.stop()
        if mount:
            subprocess.run(["umount", mount], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            link = os.path.join(env.prefix, "dosdevices", "s:")
            if os.path.lexists(link):
                os.remove(link)
        env.remove()
        display.close()
    print("%d case(s) failed" % len(failures) if failures else "all cases passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
