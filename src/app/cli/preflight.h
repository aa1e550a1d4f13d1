// The checks the installer makes before an attempt, without a window: the
// window's start checks (rules/start_checks.h) in the window's order, then,
// when the settings ask for it, network connectivity. Each refusal maps to
// the exit code and the text the user sees.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/cli/exit_codes.h"
#include "rules/start_checks.h"

struct PreflightResult {
  CliExitCode code = kExitInstalled;  // kExitInstalled: go ahead
  std::string message;               // why not, for the user
};

// `insNew` skips the running-process checks, as -insnew does in the window.
// `checkNetwork`, when set (IsCheckNet), is asked last; it returns
// Utils::CheckNetwork's result, above 0xFFFF meaning no usable network.
PreflightResult RunPreflight(const std::wstring& installDir, bool insNew, const rules::StartProbes& probes,
                             const std::function<std::uint32_t()>& checkNetwork);

// The machine's network check, with COM initialised around it.
std::uint32_t CheckNetworkOnThisThread();
