// The file and folder names of the product that the installer's rules and
// its install layer both use.
#pragma once

namespace rules {

// The programs an installation must not run alongside.
inline constexpr const wchar_t* kProductExeName = L"Tarnwick.exe";
inline constexpr const wchar_t* kUninstallerCopyName = L"Tarnwick_un_asa.exe";

// The last component of every default installation folder.
inline constexpr const wchar_t* kProductFolderName = L"Tarnwick";

}  // namespace rules
