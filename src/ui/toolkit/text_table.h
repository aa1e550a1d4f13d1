// The table of numbered texts that control texts can refer to.
//
// A control text may hold tokens "%{n}" (n: decimal digits). When the text is
// drawn or measured, each token whose number has an entry is replaced by the
// entry's text; a token without an entry stays as written, so a missing
// translation shows its token rather than nothing. Replacement is a single
// pass: an entry's own text is not searched for further tokens.
//
// Threads: the UI thread only (language texts are loaded there).
#pragma once

#include <map>
#include <string>

namespace ui {

class TextTable {
 public:
  // Keys are the number's decimal text, as the language file's ids are
  // stored; Set(7, ...) and Set(L"7", ...) name the same entry.
  void Set(int id, const std::wstring& text);
  void Set(const std::wstring& key, const std::wstring& text);
  const std::wstring* Find(const std::wstring& key) const;
  void Clear() { entries_.clear(); }
  bool empty() const { return entries_.empty(); }

  std::wstring Resolve(const std::wstring& text) const;

  // The table the installer's windows share by default.
  static TextTable& Shared();

 private:
  std::map<std::wstring, std::wstring> entries_;
};

}  // namespace ui
