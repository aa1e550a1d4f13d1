// The status-line protocol spoken by the package and by an earlier
// installation's uninstaller: pure parsing, no child, no thread, no I/O
// (the platform is asked only whether a code page converts).
//
// A child writes lines "Key=value" to its standard output. The runners feed
// the bytes, as they are read, to a status reader (InstallStatusReader,
// UninstallStatusReader), which joins them into whole lines across reads,
// decodes each line and hands it to one of the two parsers below; they match
// the keys in table order and turn each recognised line into an event.
//
// A line ends at a line feed or at a NUL byte (a C string written with its
// terminator must not hide what follows it). Carriage returns at the end of a
// line are not part of it: a Windows console program in text mode ends its
// lines with "\r\n".
//
// Value shapes:
//   text     everything after "=" up to the end of the line, verbatim,
//            cut to kMaxStatusValueChars
//   word     the text trimmed at both ends, compared exactly
//   number   a decimal floating-point number; 0.0 when none can be read
//   integer  a signed 32-bit decimal; 0 when none can be read or it is out
//            of range; reported as its unsigned 32-bit value
//   version  "a.b.c"; each part that cannot be read keeps its earlier value
//
// The verdict of a chunk (or of the lines that one read completes) is 0
// (none), kVerdictSuccess or kVerdictFailure; a later verdict line of the
// same chunk replaces an earlier one, and every line is handled, also after
// a verdict.
//
// Thread-safety: the functions are pure apart from the state they are given;
// one state belongs to one runner's worker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace install {

inline constexpr int kVerdictNone = 0;
inline constexpr int kVerdictSuccess = 1;
inline constexpr int kVerdictFailure = 1000;

// A value text longer than this is cut to this length. The value buffer of
// the wire format holds 771 characters; a longer value keeps its first 771
// so that a path or message is still mostly usable rather than dropped.
inline constexpr std::size_t kMaxStatusValueChars = 771;

// One event to report, in line order. `key` is the table key that matched
// ("ExePath=" ...), so the runner can add its own side effects (logging).
struct StatusEvent {
  std::int32_t code = 0;
  double value = 0.0;
  std::wstring text;
  const wchar_t* key = L"";
};

struct ChunkResult {
  int verdict = kVerdictNone;
  std::vector<StatusEvent> events;
  // "Encode=" words naming a code page that does not convert here; the code
  // page stays as it was, so later lines still decode. For the log.
  std::vector<std::wstring> ignoredEncodings;
};

// What the package's lines change beyond events. The code page applies to
// the lines after the one that carried "Encode=".
struct InstallStatusState {
  std::int32_t codePage = 0;
  std::int32_t version[3] = {0, 0, 0};
};

struct UninstallStatusState {
  std::int32_t codePage = 0;
};

// The package's keys: Progress, InstPath, State, InstallVersion, ExePath,
// StartExe, UninstExePath, UninstExe, UninstEp, Error, TopShowDetention,
// FinsihCloseDetention (sic, as on the wire), StartUrl, StartupStyle,
// Encode, Message.
ChunkResult ParseInstallStatus(const std::wstring& chunk, InstallStatusState* state);

// The uninstaller's keys: Progress, Error, State, Encode.
ChunkResult ParseUninstallStatus(const std::wstring& chunk, UninstallStatusState* state);

// Joins a child's output, read in pieces of any size, into lines. A line
// ends at a line feed or a NUL byte, which are not part of it; empty lines
// are dropped. A line longer than kMaxLineBytes keeps its first
// kMaxLineBytes bytes and the rest up to its end is dropped, so memory stays
// bounded whatever the child writes. kMaxLineBytes holds the longest key and
// kMaxStatusValueChars characters of at most 4 bytes each, so the cut never
// shortens a value below its own limit.
class StatusLineAssembler {
 public:
  static constexpr std::size_t kMaxLineBytes = 4096;

  // Appends the lines that these bytes complete to `lines`.
  void Feed(const char* data, std::size_t size, std::vector<std::string>* lines);
  // The end of the output: appends an unterminated last line, if any.
  void Finish(std::vector<std::string>* lines);

 private:
  std::string pending_;
};

// Bytes in, events out, for one run of a child: the assembler, then each
// line decoded in the code page that the state holds when the line is
// complete (so "Encode=" takes effect from the next line on), then the key
// table. A result covers the lines that one Feed completed, in order; its
// verdict is that of the last verdict line among them. The state is the
// runner's and outlives the reader.
class InstallStatusReader {
 public:
  explicit InstallStatusReader(InstallStatusState* state) : state_(state) {}
  ChunkResult Feed(const char* data, std::size_t size);
  ChunkResult Finish();

 private:
  InstallStatusState* state_;
  StatusLineAssembler assembler_;
};

class UninstallStatusReader {
 public:
  explicit UninstallStatusReader(UninstallStatusState* state) : state_(state) {}
  ChunkResult Feed(const char* data, std::size_t size);
  ChunkResult Finish();

 private:
  UninstallStatusState* state_;
  StatusLineAssembler assembler_;
};

// ---- building blocks, exposed for tests ----------------------------------

// Lines ending at '\n' or NUL (dropped, with the carriage returns before
// them). A last piece without an end is a line too; an empty last piece is
// not.
std::vector<std::wstring> SplitStatusLines(const std::wstring& chunk);

std::wstring ScanText(const std::wstring& rest);
std::wstring ScanWord(const std::wstring& rest);
double ScanNumber(const std::wstring& rest);
// False when no integer in range can be read (the value is then 0).
bool ScanInteger(const std::wstring& rest, std::int32_t* out);
// Updates the parts that can be read, left to right, stopping at the first
// that cannot.
void ScanVersion(const std::wstring& rest, std::int32_t version[3]);

// "UTF8" -> 65001, "ACP" -> 0, otherwise the leading decimal integer
// (blanks and a sign allowed), 0 when there is none or it is out of range.
// The parser takes the number only when it names a code page that converts
// (platform::CanConvertFrom).
std::int32_t InstallCodePageFromWord(const std::wstring& word);
// "UTF8" -> 65001, anything else 0.
std::int32_t UninstallCodePageFromWord(const std::wstring& word);

}  // namespace install
