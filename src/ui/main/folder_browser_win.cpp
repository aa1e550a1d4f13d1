#include "ui/main/folder_browser.h"

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

namespace mainwnd {

std::optional<std::wstring> BrowseForFolder(void* owner, const std::wstring& title) {
  // The new dialog style hosts shell views, which need OLE on this thread;
  // a thread that already has it just gets its count raised and lowered.
  const HRESULT ole = OleInitialize(nullptr);
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW info = {};
  info.hwndOwner = static_cast<HWND>(owner);
  info.pidlRoot = nullptr;
  info.pszDisplayName = display;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_NEWDIALOGSTYLE;
  std::optional<std::wstring> chosen;
  if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info)) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(list, path) && path[0] != L'\0') chosen = std::wstring(path);
    CoTaskMemFree(list);
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  return chosen;
}

}  // namespace mainwnd
