// Applying a language to the installer's windows: the chosen language's
// texts (config/language.h) go into the toolkit's table of numbered texts,
// which controls refer to with "%{n}" tokens, and the main window's labels
// whose width follows their text are fitted again. A skin without
// "language.json" keeps its markup texts; everything here still runs and
// resolves an index.
//
// Threads: the main window's thread (the text table belongs to it).
#pragma once

#include <string>

namespace ui {
class SkinResources;
class TextTable;
class WindowTree;
}  // namespace ui

// Resolves the language (ResolveLanguage) and registers its texts from the
// current skin package's "language.json". Without a usable file nothing is
// registered and the result is 0.
int LoadLanguageTexts(int index, const std::wstring& code);
// The same over given resources and text table (null resources: no file).
int LoadLanguageTexts(ui::SkinResources* resources, ui::TextTable& texts, int index,
                      const std::wstring& code);

// Loads the language named by "<folder>\config.ini" (ReadInstalledLanguageCode),
// re-lays out `window` when given and returns the resolved index. Does not
// store it in the settings.
int ReadInstalledLanguage(const std::wstring& folder, ui::WindowTree* window);

// Fixed width of the named control := its text's width (tokens resolved, its
// font and text style) + its left text padding. False when it is missing.
bool FitControlWidth(ui::WindowTree& window, const std::wstring& name);

// Applying a language: LoadLanguageTexts(index, ""), lay the window out
// again, fit "lbLanguage", "lbInstallPath" and "backBtn", and store the
// resolved index as the settings' LanguageIndex. Returns that index.
int ApplyLanguage(ui::WindowTree& window, int index);
