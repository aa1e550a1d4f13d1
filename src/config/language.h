// Language selection and the numbered UI texts.
//
// Texts for the 14 languages of LanguageTable come from "language.json" in
// the skin archive in use (UTF-8 JSON, 1 byte to 4 MiB): a list of objects
// {"id": <text number>, "<code>": "<text>", ...}. LoadLanguageTexts puts the
// chosen language's texts into the toolkit's table of numbered texts, which
// controls refer to with "%{n}" tokens. A skin without the file keeps its
// markup texts; everything here still runs and resolves an index.
//
// Entries that are not objects, "id" members that are not integers, and
// language members that are objects or arrays are skipped (the entry only);
// a language member that is missing, null or not valid UTF-8 registers an
// empty text for that number.
//
// Threads: the main window's thread (the text table belongs to it).
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ui {
class SkinResources;
class TextTable;
class WindowTree;
}  // namespace ui

// Index -> code, built once: 0 "en-US", 1 "zh-CN", 2 "zh-TW", 3 "id-ID",
// 4 "tr-TR", 5 "de-DE", 6 "fr-FR", 7 "es-ES", 8 "pt-PT", 9 "ja-JP",
// 10 "ko-KR", 11 "pl-PL", 12 "nl-NL", 13 "it-IT".
const std::map<int, std::string>& LanguageTable();
// The code of `index`; the code of index 0 for an index outside the table.
std::string LanguageCodeOf(int index);

inline constexpr std::uint64_t kMaxLanguageFileBytes = 4ull * 1024 * 1024;
inline constexpr const wchar_t* kLanguageFileName = L"language.json";

// Resolves the language (a non-empty code found in the table wins, else
// `index`; with an empty code an index outside the table gives 0) and
// registers its texts from the current skin package's "language.json".
// Without a usable file nothing is registered and the result is 0.
int LoadLanguageTexts(int index, const std::wstring& code);
// The same over given resources and text table (null resources: no file).
int LoadLanguageTexts(ui::SkinResources* resources, ui::TextTable& texts, int index,
                      const std::wstring& code);

// The index for a Windows language identifier (0 for one not listed).
int LanguageIndexForLangId(std::uint16_t langId);
// The index of the user's Windows UI language.
int GetSystemLanguageIndex();

// Loads the language named by "<folder>\config.ini" [Install] Language
// ("en-US" when the key is missing, nothing when the file is), re-lays out
// `window` when given and returns the resolved index. Does not store it in
// the settings.
int ReadInstalledLanguage(const std::wstring& folder, ui::WindowTree* window);

// Fixed width of the named control := its text's width (tokens resolved, its
// font and text style) + its left text padding. False when it is missing.
bool FitControlWidth(ui::WindowTree& window, const std::wstring& name);

// Applying a language: LoadLanguageTexts(index, ""), lay the window out
// again, fit "lbLanguage", "lbInstallPath" and "backBtn", and store the
// resolved index as the settings' LanguageIndex. Returns that index.
int ApplyLanguage(ui::WindowTree& window, int index);
