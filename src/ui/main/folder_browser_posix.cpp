#include "ui/main/folder_browser.h"

namespace mainwnd {

std::optional<std::wstring> BrowseForFolder(void*, const std::wstring&) { return std::nullopt; }

}  // namespace mainwnd
