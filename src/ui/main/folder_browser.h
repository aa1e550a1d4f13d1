// The shell's folder browser, for the custom page's "修改" button.
//
// Windows: SHBrowseForFolderW (new dialog style, no root) with the owner
// window and title given; the chosen folder's file-system path, or nullopt
// when the user cancels or picks something without one (a printer, the
// network neighbourhood). POSIX stand-in: no browser exists, always nullopt.
// UI thread only: the dialog is modal to `owner`.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace mainwnd {

std::optional<std::wstring> BrowseForFolder(void* owner, const std::wstring& title);

// The window's means of asking; tests replace it with a scripted answer.
using FolderPicker = std::function<std::optional<std::wstring>(void* owner, const std::wstring& title)>;

}  // namespace mainwnd
