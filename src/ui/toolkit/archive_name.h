// How skin files are named inside an archive or a skin folder.
//
// Markup written over the years asks for "MainWnd.xml" where the archive
// holds "mainWnd.xml", and mixes "res\mainWnd\x.png" with "res/mainWnd/x.png".
// Names therefore match without regard to letter case, and "\" and "/" are
// the same separator. Pure functions, thread-safe.
#pragma once

#include <string>

namespace ui {

// The form two names are compared in: ASCII letters lowered, every "\" turned
// into "/", leading separators dropped. Non-ASCII letters are kept as they are
// (the skin's own names are ASCII).
std::wstring NormalizeArchiveName(const std::wstring& name);

bool ArchiveNamesMatch(const std::wstring& a, const std::wstring& b);

}  // namespace ui
