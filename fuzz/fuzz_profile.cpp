// The INI file next to the executable, through the POSIX private-profile
// functions: a fuzzed file is read, one entry is written into it, and the
// file is read again.
//
// Input: one byte for the reading buffer's size, then
// "section \x1F key \x1F value \x1F file content".
// Invariants: a value read never exceeds its buffer; after a write, the
// written entry reads back as the trimmed value without its quotes, and
// every other entry of the file reads as before (writing keeps what it does
// not change); the installer's settings read from the file keep within the
// 259 characters of their buffer and hold a finite download share.
#include <unistd.h>

#include <cwctype>
#include <fstream>

#include <cmath>

#include "config/installer_config.h"
#include "fuzz_support.h"
#include "platform/codepage.h"
#include "platform/profile.h"

namespace {

// A folder of this process; in memory where possible, since every write
// ends in an fsync.
const std::string& ScratchFile() {
  static const std::string path = [] {
    std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
    folder += "/tw-fuzz-profile-XXXXXX";
    if (!mkdtemp(folder.data())) std::abort();
    static const std::string file = folder + "/BriselInstallerConfig.ini";
    std::atexit([] {
      unlink(file.c_str());
      rmdir(file.substr(0, file.rfind('/')).c_str());
    });
    return file;
  }();
  return path;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }

std::wstring Trim(const std::wstring& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::wstring Fold(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}

// What a value reads back as: trimmed, and without quotes that enclose it.
std::wstring AsRead(const std::wstring& value) {
  std::wstring text = Trim(value);
  if (text.size() >= 2 && (text[0] == L'"' || text[0] == L'\'') && text.back() == text[0]) {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

// Names that a line-based writer can store and find again.
bool IsWritableSection(const std::wstring& name) {
  return !name.empty() && Trim(name) == name && name.find_first_of(L"]\n\r") == std::wstring::npos;
}
bool IsWritableKey(const std::wstring& name) {
  return !name.empty() && Trim(name) == name && name[0] != L'[' && name[0] != L';' &&
         name.find_first_of(L"=\n\r") == std::wstring::npos;
}

struct Probe {
  std::wstring section;
  std::wstring key;
};

// Section and key names that the file appears to hold; a rough guess is
// enough, since every probe must read the same before and after a write.
std::vector<Probe> ProbesOf(const std::wstring& file) {
  std::vector<Probe> probes;
  std::wstring section;
  for (const std::wstring& raw : fuzz::SplitAt(file, L'\n')) {
    const std::wstring line = Trim(raw);
    if (line.empty()) continue;
    if (line[0] == L'[') {
      section = Trim(line.substr(1, line.find(L']') == std::wstring::npos ? std::wstring::npos : line.find(L']') - 1));
    } else if (line.find(L'=') != std::wstring::npos) {
      probes.push_back({section, Trim(line.substr(0, line.find(L'=')))});
      if (probes.size() == 32) break;
    }
  }
  return probes;
}

std::wstring Read(const std::wstring& path, const Probe& probe) {
  return platform::ReadProfileString(path, probe.section, probe.key, L"\x01missing", 4096);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 64 * 1024) return 0;
  const std::size_t bufferChars = data[0];
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);

  std::vector<std::string> parts = fuzz::SplitAt(rest, '\x1F');
  if (parts.size() < 4) return 0;
  std::string content = parts[3];
  for (std::size_t i = 4; i < parts.size(); ++i) content += '\x1F' + parts[i];
  const Probe written{platform::ToWide(parts[0], platform::kCodePageUtf8), platform::ToWide(parts[1], platform::kCodePageUtf8)};
  const std::wstring value = platform::ToWide(parts[2], platform::kCodePageUtf8);

  const std::string& file = ScratchFile();
  { std::ofstream(file, std::ios::binary | std::ios::trunc) << content; }
  const std::wstring path = platform::ToWide(file, platform::kCodePageUtf8);

  const std::wstring cut = platform::ReadProfileString(path, written.section, written.key, L"default", bufferChars);
  FUZZ_CHECK(cut.size() + 1 <= (bufferChars == 0 ? 1 : bufferChars));
  platform::ReadProfileInt(path, written.section, written.key, 7);

  CInstallerConfig config;
  config.LoadInstallerConfigFrom(path);
  for (const std::wstring* text : {&config.InstCmd, &config.DlAppNameSuffix, &config.m_DlAppVersion}) {
    FUZZ_CHECK(text->size() < platform::kProfileBufferChars);
  }
  FUZZ_CHECK(std::isfinite(config.DownloadScale));

  if (!IsWritableSection(written.section) || !IsWritableKey(written.key) ||
      value.find(L'\n') != std::wstring::npos || value.size() > 4000) {
    return 0;
  }
  std::vector<Probe> probes = ProbesOf(platform::ToWide(content, platform::kCodePageUtf8));
  std::vector<std::wstring> before;
  for (const Probe& probe : probes) before.push_back(Read(path, probe));

  FUZZ_CHECK(platform::WriteProfileString(path, written.section, written.key, value));
  FUZZ_CHECK(Read(path, written) == AsRead(value));
  for (std::size_t i = 0; i < probes.size(); ++i) {
    const bool same = Fold(probes[i].section) == Fold(written.section) && Fold(probes[i].key) == Fold(written.key);
    if (!same) FUZZ_CHECK(Read(path, probes[i]) == before[i]);
  }
  return 0;
}
