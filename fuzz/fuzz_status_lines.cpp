// The package's and the uninstaller's status lines, as the runners receive
// them: the output cut into reads of varying size, each read parsed with the
// state the earlier ones left.
//
// Input: one byte choosing the protocol (bit 0) and the read sizes (the
// rest), then the output text.
// Invariants: every verdict is none, success or failure; every event names a
// known key, carries a finite value and a text of at most
// kMaxStatusValueChars that holds no line feed; a code page comes only from
// an "Encode=" line.
#include <cmath>
#include <cwchar>

#include "fuzz_support.h"
#include "install/status_line.h"

namespace {

using install::ChunkResult;

// Read sizes from 1 to 64 characters, a different pattern for every seed.
std::vector<std::wstring> CutIntoReads(const std::wstring& output, std::uint8_t seed) {
  std::vector<std::wstring> reads;
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
    FUZZ_CHECK(event.key != nullptr && std::wcslen(event.key) > 1 && event.key[std::wcslen(event.key) - 1] == L'=');
    FUZZ_CHECK(std::isfinite(event.value));
    FUZZ_CHECK(event.text.size() <= install::kMaxStatusValueChars);
    FUZZ_CHECK(event.text.find(L'\n') == std::wstring::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t control = data[0];
  const std::wstring output = fuzz::WideFromBytes(data + 1, size - 1);
  const bool hasEncode = output.find(L"Encode=") != std::wstring::npos;

  if (control & 1) {
    install::UninstallStatusState state;
    for (const std::wstring& read : CutIntoReads(output, control)) {
      CheckResult(install::ParseUninstallStatus(read, &state));
    }
    FUZZ_CHECK(state.codePage == 0 || state.codePage == 65001);
    FUZZ_CHECK(hasEncode || state.codePage == 0);
  } else {
    install::InstallStatusState state;
    for (const std::wstring& read : CutIntoReads(output, control)) {
      CheckResult(install::ParseInstallStatus(read, &state));
    }
    FUZZ_CHECK(hasEncode || state.codePage == 0);
  }
  return 0;
}
