#include "app/cli/preflight.h"

#include "platform/probes.h"
#include "utils/probes.h"

PreflightResult RunPreflight(const std::wstring& installDir, bool insNew, const rules::StartProbes& probes,
                             const std::function<std::uint32_t()>& checkNetwork) {
  switch (rules::CheckStart(installDir, insNew, probes)) {
    case rules::StartRefusal::kUninstallerRunning:
      return {kExitProductRunning, "an uninstaller of Tarnwick is still running"};
    case rules::StartRefusal::kProductRunning:
      return {kExitProductRunning, "Tarnwick is running; quit it and try again"};
    case rules::StartRefusal::kInvalidPath:
      return {kExitBadFolder, "the installation folder cannot be created"};
    case rules::StartRefusal::kLowDiskSpace:
      return {kExitNoDiskSpace, "less than 1 GiB free for the installation folder"};
    case rules::StartRefusal::kNone:
      break;
  }
  if (checkNetwork && checkNetwork() > 0xFFFF) return {kExitNoNetwork, "no internet connection"};
  return {};
}

std::uint32_t CheckNetworkOnThisThread() {
  platform::InitializeComForThread();
  const std::uint32_t network = Utils::CheckNetwork();
  platform::UninitializeComForThread();
  return network;
}
