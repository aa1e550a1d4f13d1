#include "rules/install_folder.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "rules/product_names.h"

namespace rules {

std::wstring DefaultInstallDir(const DefaultFolderFacts& facts) {
  if (!facts.registeredInstallPath.empty() && facts.registeredUninstEpExists) return facts.registeredInstallPath;
  std::optional<std::wstring> base;
  if (facts.consoleUserIsAdmin && facts.processIsAdmin && facts.appData)
    base = platform::JoinPath(*facts.appData, L"brisel");
  if (!base) base = facts.programFilesX86;
  if (!base) base = facts.programFiles;
  // Without any base the bare name stays: StartInstall then works relative
  // to the current folder or refuses it, rather than the window showing
  // nothing at all.
  return platform::JoinPath(base.value_or(std::wstring()), kProductFolderName);
}

DefaultFolderFacts SystemDefaultFolderFacts(const std::wstring& registeredInstallPath,
                                            const std::wstring& registeredUninstEp, bool consoleUserIsAdmin,
                                            bool processIsAdmin) {
  DefaultFolderFacts facts;
  facts.registeredInstallPath = registeredInstallPath;
  facts.registeredUninstEpExists = !registeredUninstEp.empty() && platform::PathExists(registeredUninstEp);
  facts.consoleUserIsAdmin = consoleUserIsAdmin;
  facts.processIsAdmin = processIsAdmin;
  facts.appData = platform::GetEnv(L"APPDATA");
  facts.programFilesX86 = platform::GetSpecialFolder(platform::SpecialFolder::kProgramFilesX86);
  facts.programFiles = platform::GetSpecialFolder(platform::SpecialFolder::kProgramFiles);
  return facts;
}

bool IsDefaultInstallDir(const std::wstring& defaultDir, const std::wstring& folder) {
  std::optional<std::wstring> relative = platform::RelativePathBetweenFolders(defaultDir, folder);
  return relative && *relative == L".";
}

std::wstring CustomInstallDir(const std::wstring& typed, const std::wstring& defaultDir) {
  return IsDefaultInstallDir(defaultDir, typed) ? defaultDir : typed;
}

std::wstring FolderForChosenParent(const std::wstring& chosen) {
  // Not cut to 260 characters: a text that long is refused by StartInstall
  // with "无效路径", which tells the user more than a silently shortened path.
  return platform::JoinPath(chosen, kProductFolderName);
}

}  // namespace rules
