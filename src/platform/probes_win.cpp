// Machine probes from the Win32 API.
#include <windows.h>
#include <lm.h>
#include <netlistmgr.h>
#include <objbase.h>
#include <wtsapi32.h>

#include "platform/probes.h"

namespace platform {
namespace {

// Declared here so the build does not depend on the SDK's uuid library
// carrying them.
const CLSID kClsidNetworkListManager = {0xDCB00C01, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};
const IID kIidNetworkListManager = {0xDCB00000, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};

thread_local bool t_comInitialized = false;

}  // namespace

bool QueryDiskSpace(const std::wstring& path, DiskSpace* out, std::uint32_t* lastError) {
  ULARGE_INTEGER freeToCaller{}, total{}, totalFree{};
  if (!GetDiskFreeSpaceExW(path.c_str(), &freeToCaller, &total, &totalFree)) {
    if (lastError != nullptr) *lastError = GetLastError();
    return false;
  }
  out->freeToCaller = freeToCaller.QuadPart;
  out->total = total.QuadPart;
  out->totalFree = totalFree.QuadPart;
  return true;
}

bool CreateGuid(Guid* out) {
  GUID g{};
  if (CoCreateGuid(&g) != S_OK) return false;
  out->data1 = g.Data1;
  out->data2 = g.Data2;
  out->data3 = g.Data3;
  for (int i = 0; i < 8; ++i) out->data4[i] = g.Data4[i];
  return true;
}

NetworkReport QueryNetwork() {
  NetworkReport report;
  INetworkListManager* manager = nullptr;
  if (SUCCEEDED(CoCreateInstance(kClsidNetworkListManager, nullptr, CLSCTX_ALL, kIidNetworkListManager,
                                 reinterpret_cast<void**>(&manager))) &&
      manager != nullptr) {
    report.managerCreated = true;
    NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    if (SUCCEEDED(manager->GetConnectivity(&connectivity))) {
      report.connectivityQueried = true;
      report.connectivity = static_cast<std::uint32_t>(connectivity);
    }
    // The property get_IsConnectedToInternet; mingw-w64 names it without the prefix.
    if (report.connectivity != 0) {
      VARIANT_BOOL connected = VARIANT_FALSE;
      if (SUCCEEDED(manager->IsConnectedToInternet(&connected))) {
        report.internetQueried = true;
        report.connectedToInternet = connected != VARIANT_FALSE;
      }
    }
    manager->Release();
  }
  CoFreeUnusedLibraries();
  return report;
}

void InitializeComForThread() {
  // S_FALSE (already initialised) still needs its CoUninitialize; a failure
  // (another apartment model) must not get one.
  t_comInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void UninitializeComForThread() {
  if (t_comInitialized) CoUninitialize();
  t_comInitialized = false;
}

bool IsProcessAdmin() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                0, 0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

bool IsAccountAdmin(const std::wstring& userName) {
  LPBYTE buffer = nullptr;
  if (NetUserGetInfo(nullptr, userName.c_str(), 1, &buffer) != NERR_Success) {
    if (buffer != nullptr) NetApiBufferFree(buffer);
    return false;
  }
  const bool admin = reinterpret_cast<USER_INFO_1*>(buffer)->usri1_priv == USER_PRIV_ADMIN;
  NetApiBufferFree(buffer);
  return admin;
}

std::optional<std::wstring> ConsoleUserName() {
  const DWORD session = WTSGetActiveConsoleSessionId();
  LPWSTR name = nullptr;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, WTSUserName, &name, &bytes) ||
      name == nullptr) {
    return std::nullopt;
  }
  std::wstring out = name;
  WTSFreeMemory(name);
  return out;
}

OsVersion QueryOsVersion() {
  OsVersion version;
  HMODULE ntdll = LoadLibraryW(L"ntdll.dll");
  if (ntdll == nullptr) return version;
  version.ntdllLoaded = true;
  using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  auto get = reinterpret_cast<RtlGetNtVersionNumbersFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetNtVersionNumbers")));
  if (get != nullptr) {
    version.entryFound = true;
    DWORD major = 0, minor = 0, build = 0;
    get(&major, &minor, &build);
    version.major = major;
    version.minor = minor;
    version.build = build;
  }
  FreeLibrary(ntdll);
  version.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;
  return version;
}

std::uint16_t UserDefaultUiLanguage() { return GetUserDefaultUILanguage(); }

}  // namespace platform
