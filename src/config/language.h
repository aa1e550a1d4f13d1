// Language selection and the language file's texts, without any window.
//
// Texts for the 14 languages of LanguageTable come from "language.json" in
// the skin archive in use (UTF-8 JSON, 1 byte to 4 MiB): a list of objects
// {"id": <text number>, "<code>": "<text>", ...}. ParseLanguageTexts turns
// the file's bytes into numbered texts of one language; putting them into a
// window's table of texts is ui/language/window_language.h.
//
// Entries that are not objects, "id" members that are not integers, and
// language members that are objects or arrays are skipped (the entry only);
// a language member that is missing, null or not valid UTF-8 gives an empty
// text for that number.
//
// Pure, except GetSystemLanguageIndex and ReadInstalledLanguageCode, which
// ask the system. Any thread.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Index -> code, built once: 0 "en-US", 1 "zh-CN", 2 "zh-TW", 3 "id-ID",
// 4 "tr-TR", 5 "de-DE", 6 "fr-FR", 7 "es-ES", 8 "pt-PT", 9 "ja-JP",
// 10 "ko-KR", 11 "pl-PL", 12 "nl-NL", 13 "it-IT".
const std::map<int, std::string>& LanguageTable();
// The code of `index`; the code of index 0 for an index outside the table.
std::string LanguageCodeOf(int index);

// A non-empty code found in the table wins, else `index`; with an empty
// code an index outside the table gives 0.
int ResolveLanguage(int index, const std::wstring& code);

inline constexpr std::uint64_t kMaxLanguageFileBytes = 4ull * 1024 * 1024;
inline constexpr const wchar_t* kLanguageFileName = L"language.json";

// Whether a language file of this size is read at all (1 byte to 4 MiB).
bool IsUsableLanguageFileSize(std::uint64_t bytes);

// The texts of language `code` in the file's order (a number given twice
// appears twice; the later one wins where they are stored). Broken JSON
// gives none; a shape that breaks the reader half-way gives those before it.
std::vector<std::pair<int, std::wstring>> ParseLanguageTexts(const std::vector<std::uint8_t>& file,
                                                             const std::string& code);

// The index for a Windows language identifier (0 for one not listed).
int LanguageIndexForLangId(std::uint16_t langId);
// The index of the user's Windows UI language.
int GetSystemLanguageIndex();

// The language code in "<folder>\config.ini" [Install] Language: "en-US"
// when the key is missing, empty when the file is.
std::wstring ReadInstalledLanguageCode(const std::wstring& folder);
