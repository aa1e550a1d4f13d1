#include "utils/temp_folder.h"

#include "platform/files.h"
#include "platform/paths.h"

namespace Utils {

std::wstring GetTempFolder() {
  std::wstring temp = platform::TempPath();
  // Without a temporary folder the name alone would point into the current
  // folder, which is not where anyone would look for it.
  if (temp.empty()) return std::wstring();
  std::wstring folder = platform::JoinPath(temp, L"~BriselTemp.92482B06FB471E17");
  folder += platform::kPathSeparator;
  if (platform::FolderExists(folder)) return folder;
  // Another caller may make it between the test and the creation.
  if (platform::CreateFolder(folder) || platform::FolderExists(folder)) return folder;
  return std::wstring();
}

}  // namespace Utils
