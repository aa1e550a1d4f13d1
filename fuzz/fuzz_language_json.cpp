// The skin's "language.json": a fuzzed file is served as the skin's only
// file and loaded for a language chosen by the first input byte.
//
// Invariants: the resolved language is always one of the table's; every
// registered text is stored under a decimal number; and resolving tokens
// against what was registered finishes and substitutes a single pass only.
#include <cwctype>

#include "config/language.h"
#include "ui/language/window_language.h"
#include "fuzz_support.h"
#include "ui/toolkit/skin_resources.h"
#include "ui/toolkit/text_table.h"

namespace {

// A skin that holds "language.json" and nothing else.
class LanguageFileSkin : public ui::SkinResources {
 public:
  explicit LanguageFileSkin(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool Read(const std::wstring& name, std::vector<std::uint8_t>* out) override {
    out->clear();
    if (!Exists(name)) return false;
    *out = bytes_;
    return true;
  }
  bool Exists(const std::wstring& name) override { return name == kLanguageFileName; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 256 * 1024) return 0;
  // -2 .. 15: both ends of the table and a little beyond.
  const int index = static_cast<int>(data[0] % 18) - 2;
  const std::wstring code = (data[0] & 0x80) ? L"ja-JP" : L"";
  LanguageFileSkin skin(std::vector<std::uint8_t>(data + 1, data + size));

  ui::TextTable texts;
  const int resolved = LoadLanguageTexts(&skin, texts, index, code);
  FUZZ_CHECK(LanguageTable().count(resolved) == 1);
  if (code.empty() && size > 1) FUZZ_CHECK(resolved == (LanguageTable().count(index) ? index : 0));

  std::wstring tokens;
  for (int id = -3; id < 40; ++id) tokens += L"%{" + std::to_wstring(id) + L"}";
  tokens += L"%{2147483648}%{99999999999999999999}%{";
  const std::wstring resolvedText = texts.Resolve(tokens);
  // One pass: a registered text that itself holds tokens stays as written.
  if (texts.empty()) FUZZ_CHECK(resolvedText == tokens);
  return 0;
}
