// The package's and the uninstaller's status lines, as the runners receive
// them: the child's output bytes fed to a status reader in reads of varying
// size, then the end of the output.
//
// Input: one byte choosing the protocol (bit 0) and the read sizes (the
// rest), then the output bytes.
// Invariants: how the output is cut into reads changes nothing (the same
// events, the same last verdict, the same state as one read of everything);
// every verdict is none, success or failure; every event names a known key
// and carries a finite value and a text of at most kMaxStatusValueChars
// that holds no line feed and no NUL, and no carriage return at its end
// unless the cut put one there; the code page is always one that converts.
#include <cmath>
#include <cwchar>

#include "fuzz_support.h"
#include "install/status_line.h"
#include "platform/codepage.h"

namespace {

using install::ChunkResult;

// Read sizes from 1 to 64 bytes, a different pattern for every seed.
std::vector<std::string> CutIntoReads(const std::string& output, std::uint8_t seed) {
  std::vector<std::string> reads;
  std::uint32_t state = seed | 0x100u;
  for (std::size_t at = 0; at < output.size();) {
    state = state * 1103515245u + 12345u;
    const std::size_t length = 1 + (state >> 16) % 64;
    reads.push_back(output.substr(at, length));
    at += length;
  }
  return reads;
}

void CheckResult(const ChunkResult& result) {
  FUZZ_CHECK(result.verdict == install::kVerdictNone || result.verdict == install::kVerdictSuccess ||
             result.verdict == install::kVerdictFailure);
  for (const install::StatusEvent& event : result.events) {
    const std::size_t keyLength = std::wcslen(event.key);
    FUZZ_CHECK(keyLength > 1 && event.key[keyLength - 1] == L'=');
    FUZZ_CHECK(std::isfinite(event.value));
    FUZZ_CHECK(event.text.size() <= install::kMaxStatusValueChars);
    FUZZ_CHECK(event.text.find_first_of(std::wstring(L"\n\0", 2)) == std::wstring::npos);
    if (event.text.size() < install::kMaxStatusValueChars) FUZZ_CHECK(event.text.empty() || event.text.back() != L'\r');
  }
}

// Everything a run reported, in order, and its last verdict.
struct Run {
  std::vector<install::StatusEvent> events;
  int verdict = install::kVerdictNone;

  void Add(const ChunkResult& result) {
    CheckResult(result);
    events.insert(events.end(), result.events.begin(), result.events.end());
    if (result.verdict != install::kVerdictNone) verdict = result.verdict;
  }
  bool operator==(const Run& other) const {
    if (verdict != other.verdict || events.size() != other.events.size()) return false;
    for (std::size_t i = 0; i < events.size(); ++i) {
      const install::StatusEvent& a = events[i];
      const install::StatusEvent& b = other.events[i];
      if (a.code != b.code || a.value != b.value || a.text != b.text || std::wcscmp(a.key, b.key) != 0) return false;
    }
    return true;
  }
};

template <class Reader, class State>
Run Read(const std::vector<std::string>& reads, State* state) {
  Reader reader(state);
  Run run;
  for (const std::string& read : reads) run.Add(reader.Feed(read.data(), read.size()));
  run.Add(reader.Finish());
  return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 64 * 1024) return 0;
  const std::uint8_t control = data[0];
  const std::string output(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<std::string> whole{output};
  const std::vector<std::string> pieces = CutIntoReads(output, control);

  if (control & 1) {
    install::UninstallStatusState once, cut;
    FUZZ_CHECK((Read<install::UninstallStatusReader>(whole, &once) == Read<install::UninstallStatusReader>(pieces, &cut)));
    FUZZ_CHECK(once.codePage == cut.codePage);
    FUZZ_CHECK(platform::CanConvertFrom(static_cast<std::uint32_t>(cut.codePage)));
  } else {
    install::InstallStatusState once, cut;
    FUZZ_CHECK((Read<install::InstallStatusReader>(whole, &once) == Read<install::InstallStatusReader>(pieces, &cut)));
    FUZZ_CHECK(once.codePage == cut.codePage);
    for (int i = 0; i < 3; ++i) FUZZ_CHECK(once.version[i] == cut.version[i]);
    FUZZ_CHECK(cut.codePage >= 0 && platform::CanConvertFrom(static_cast<std::uint32_t>(cut.codePage)));
  }
  return 0;
}
