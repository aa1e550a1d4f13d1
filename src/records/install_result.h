// InstallResult: what the package reported about its installation, kept by
// the receiver of the runner's events (the window, the headless installer)
// and used once the installation has succeeded.
//
// Every text is taken verbatim from the event (a carriage return the package
// wrote before its line feed included); a later event of the same kind
// replaces the earlier value.
#pragma once

#include <cstdint>
#include <string>

enum StartupStyle : std::int32_t {
  NonStartup = 0,   // never launch the product
  AutoStartup = 1,  // launch as soon as the installation has succeeded
  UserStartup = 2,  // launch when the user asks on the finish page
};

struct InstallResult {
  // Where the product went: the chosen folder until "InstPath=" says
  // otherwise. The owner sets it before the driver starts.
  std::wstring installDir;
  std::wstring exePath;   // "ExePath=" / "StartExe="
  std::wstring uninstEp;  // "UninstEp="; empty: <installDir>\uninst.ep
  std::wstring startUrl;  // "StartUrl="
  std::int32_t startupStyle = NonStartup;
  std::uint32_t topShowDelayMs = 3000;             // "TopShowDetention="
  std::uint32_t finishCloseDelayMs = 0xFFFFFFFFu;  // "FinsihCloseDetention="
};

// Applies one runner event to `result`: 3000, 3001, 3003, 3004, 3005, 3007
// and 3008 change it, every other code leaves it alone. Returns whether the
// event changed a field. The start style is the value truncated to an
// integer; the delays are the value as an unsigned 32-bit number. Values
// outside those ranges (never sent by the runner) read as 0.
bool ApplyInstallEvent(InstallResult* result, std::int32_t code, double value, const std::wstring& text);
