// fake-package: a stand-in for the product's silent installer package and
// for an earlier installation's uninstaller, started by the tests as a real
// child process.
//
// Mode: an argument beginning with "_?=" makes it the uninstaller (the
// folder is the rest of the command line after "_?="); otherwise it is the
// package (the folder is the rest of the command line after " /D=").
//
// The command line of both is fixed by the installer, so the behaviour comes
// from a scenario file named by an environment variable:
//   TW_FAKE_PACKAGE_SCENARIO    scenario of the package
//   TW_FAKE_UNINSTALL_SCENARIO  scenario of the uninstaller
//   TW_FAKE_LOG                 when set, one line per start is appended:
//                               "<mode>\t<own path>\t<command line>"
// Without a scenario the package installs its files and reports success, the
// uninstaller removes them and reports success.
//
// Standard output is in text mode on Windows, as in any console program
// there: every "\n" leaves as "\r\n". Elsewhere it is binary.
//
// Scenario lines (blank lines and lines starting with '#' are skipped):
//   out TEXT        TEXT and "\n" to standard output in one write
//   write TEXT      TEXT alone, in one write
//   stdout MODE     "text" ("\n" written as "\r\n", also off Windows) or
//                   "binary" (bytes as they are)
//   err BYTES       BYTES bytes of filler to standard error
//   noise BYTES     BYTES bytes of "Noise=..." lines to standard output
//   blob BYTES      BYTES bytes of 'x' to standard output, no line feed
//   sleep MS        pause
//   install-files   create the folder, "Tarnwick.exe" and "uninst.ep" (both
//                   copies of this program, so the entry point can run as
//                   the next uninstaller)
//   remove-files    delete "Tarnwick.exe" and "uninst.ep" from the folder
//   touch NAME      create an empty file NAME in the folder
//   exit CODE       end now with CODE (the end of the file exits with 0)
//   crash           write through a null pointer (on Windows the program
//                   ends with 0xC0000005, without an error dialog)
//   hold MS         start a copy of this program that inherits the standard
//                   handles and keeps them open: it writes a "Noise=" line
//                   every 200 ms until a write fails or MS have passed
// In TEXT, \n \r \t \\ and \xHH are escapes, ${DIR} is the folder and
// ${SELF} this program's path.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace fs = std::filesystem;

namespace {

// The download client refuses packages under 1 MiB (a shorter body is taken
// for an error page), so the program carries this much ballast to be
// servable as a package. Initialised, so it occupies the file.
constexpr std::size_t kBallastBytes = 1280 * 1024;
const volatile unsigned char kBallast[kBallastBytes] = {'T', 'W'};

#ifdef _WIN32
std::string ToUtf8(const std::wstring& w) {
  if (w.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

std::string RawCommandLine() { return ToUtf8(GetCommandLineW()); }

fs::path SelfPath() {
  wchar_t buffer[4096];
  DWORD n = GetModuleFileNameW(nullptr, buffer, 4096);
  return fs::path(std::wstring(buffer, n));
}

std::string Env(const char* name) {
  std::wstring wide(name, name + std::char_traits<char>::length(name));
  wchar_t buffer[4096];
  DWORD n = GetEnvironmentVariableW(wide.c_str(), buffer, 4096);
  if (n == 0 || n >= 4096) return std::string();
  return ToUtf8(std::wstring(buffer, n));
}

fs::path PathFromUtf8(const std::string& s) { return fs::u8path(s); }
#else
std::string g_rawCommandLine;
std::string RawCommandLine() { return g_rawCommandLine; }
fs::path SelfPath() { return fs::read_symlink("/proc/self/exe"); }
std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}
fs::path PathFromUtf8(const std::string& s) { return fs::path(s); }
#endif

std::string PathText(const fs::path& p) { return p.u8string(); }

struct Context {
  bool uninstall = false;
  std::string folder;  // UTF-8
  fs::path self;
};

// The folder is everything after the marker: the installer puts it last and
// unquoted, so it may hold spaces.
std::string RestAfter(const std::string& line, const std::string& marker) {
  std::size_t at = line.rfind(marker);
  if (at == std::string::npos) return std::string();
  std::string rest = line.substr(at + marker.size());
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r' || rest.back() == '\n')) rest.pop_back();
  return rest;
}

// Text mode off Windows: the C library does not translate there, so this
// program does.
bool g_translateNewlines = false;

bool WriteAll(std::FILE* f, const std::string& bytes) {
  std::string out = bytes;
  if (g_translateNewlines && f == stdout) {
    out.clear();
    for (char c : bytes) {
      if (c == '\n') out += '\r';
      out += c;
    }
  }
  std::fwrite(out.data(), 1, out.size(), f);
  return std::fflush(f) == 0 && !std::ferror(f);
}

void SetStdoutMode(const std::string& mode) {
#ifdef _WIN32
  _setmode(_fileno(stdout), mode == "binary" ? _O_BINARY : _O_TEXT);
#else
  g_translateNewlines = mode == "text";
#endif
}

#ifdef _WIN32
LONG WINAPI EndWithTheException(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }
#endif

// Ends the program the way an access violation does, without the error
// dialog or debugger that would otherwise wait for a user.
[[noreturn]] void Crash() {
#ifdef _WIN32
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(EndWithTheException);
#endif
  volatile int* nowhere = nullptr;
  *nowhere = 1;
  std::abort();
}

// The holder: a process that the package leaves behind with its standard
// handles.
int Hold(long ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (!WriteAll(stdout, "Noise=holder\n")) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return 0;
}

void StartHolder(const fs::path& self, const std::string& ms) {
#ifdef _WIN32
  std::wstring line = L"\"" + self.wstring() + L"\" --hold " + std::wstring(ms.begin(), ms.end());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, /*bInheritHandles=*/TRUE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
#else
  std::string program = self.string();
  std::string flag = "--hold";
  std::string period = ms;
  char* argv[] = {program.data(), flag.data(), period.data(), nullptr};
  pid_t pid = 0;
  posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ);
#endif
}

std::string Expand(const std::string& text, const Context& ctx) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      char n = text[++i];
      if (n == 'n') out += '\n';
      else if (n == 'r') out += '\r';
      else if (n == 't') out += '\t';
      else if (n == 'x' && i + 2 < text.size()) {
        out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
        i += 2;
      } else out += n;
    } else if (text.compare(i, 6, "${DIR}") == 0) {
      out += ctx.folder;
      i += 5;
    } else if (text.compare(i, 7, "${SELF}") == 0) {
      out += PathText(ctx.self);
      i += 6;
    } else {
      out += c;
    }
  }
  return out;
}

void CopySelf(const Context& ctx, const char* name) {
  std::error_code ec;
  fs::copy_file(ctx.self, PathFromUtf8(ctx.folder) / name, fs::copy_options::overwrite_existing, ec);
}

// Runs one scenario line; returns false when the scenario asks to exit.
bool RunLine(const std::string& line, const Context& ctx, int* exitCode) {
  std::string command = line.substr(0, line.find(' '));
  std::string argument = line.size() > command.size() ? line.substr(command.size() + 1) : std::string();
  std::error_code ec;
  if (command == "out") {
    WriteAll(stdout, Expand(argument, ctx) + "\n");
  } else if (command == "write") {
    WriteAll(stdout, Expand(argument, ctx));
  } else if (command == "err" || command == "noise") {
    long long total = std::atoll(argument.c_str());
    std::string filler = command == "err" ? std::string(63, 'e') + "\n" : "Noise=" + std::string(57, 'n') + "\n";
    for (long long written = 0; written < total; written += static_cast<long long>(filler.size()))
      WriteAll(command == "err" ? stderr : stdout, filler);
  } else if (command == "blob") {
    const std::string piece(64 * 1024, 'x');
    for (long long left = std::atoll(argument.c_str()); left > 0; left -= static_cast<long long>(piece.size()))
      WriteAll(stdout, piece.substr(0, static_cast<std::size_t>(std::min<long long>(left, piece.size()))));
  } else if (command == "sleep") {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(argument.c_str())));
  } else if (command == "install-files") {
    fs::create_directories(PathFromUtf8(ctx.folder), ec);
    CopySelf(ctx, "Tarnwick.exe");
    CopySelf(ctx, "uninst.ep");
  } else if (command == "remove-files") {
    fs::remove(PathFromUtf8(ctx.folder) / "Tarnwick.exe", ec);
    fs::remove(PathFromUtf8(ctx.folder) / "uninst.ep", ec);
  } else if (command == "touch") {
    std::ofstream(PathFromUtf8(ctx.folder) / PathFromUtf8(Expand(argument, ctx)));
  } else if (command == "stdout") {
    SetStdoutMode(argument);
  } else if (command == "crash") {
    Crash();
  } else if (command == "hold") {
    StartHolder(ctx.self, argument);
  } else if (command == "exit") {
    *exitCode = std::atoi(argument.c_str());
    return false;
  }
  return true;
}

std::string DefaultScenario(bool uninstall) {
  if (uninstall) return "out Progress=0.5\nremove-files\nout State=Success\n";
  return "install-files\nout Progress=0.5\nout InstPath=${DIR}\nout Progress=1.0\nout State=Success\n";
}

void AppendLog(const Context& ctx) {
  std::string log = Env("TW_FAKE_LOG");
  if (log.empty()) return;
  std::ofstream out(PathFromUtf8(log), std::ios::app | std::ios::binary);
  out << (ctx.uninstall ? "uninstall" : "install") << '\t' << PathText(ctx.self) << '\t' << RawCommandLine() << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  if (kBallast[0] != 'T') return 98;  // keeps the ballast in the program
  if (argc == 3 && std::string(argv[1]) == "--hold") return Hold(std::atol(argv[2]));
#ifndef _WIN32
  for (int i = 0; i < argc; ++i) g_rawCommandLine += (i ? " " : "") + std::string(argv[i]);
#endif
  Context ctx;
  ctx.self = SelfPath();
  std::string raw = RawCommandLine();
  ctx.uninstall = raw.find(" _?=") != std::string::npos;
  ctx.folder = ctx.uninstall ? RestAfter(raw, " _?=") : RestAfter(raw, " /D=");
  AppendLog(ctx);

  std::string scenarioPath = Env(ctx.uninstall ? "TW_FAKE_UNINSTALL_SCENARIO" : "TW_FAKE_PACKAGE_SCENARIO");
  std::string scenario = DefaultScenario(ctx.uninstall);
  if (!scenarioPath.empty()) {
    std::ifstream in(PathFromUtf8(scenarioPath), std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "fake-package: cannot read scenario %s\n", scenarioPath.c_str());
      return 99;
    }
    std::stringstream text;
    text << in.rdbuf();
    scenario = text.str();
  }

  std::istringstream lines(scenario);
  std::string line;
  int exitCode = 0;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!RunLine(line, ctx, &exitCode)) break;
  }
  return exitCode;
}
