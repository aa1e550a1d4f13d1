// POSIX stand-ins for the machine probes.
#include "platform/probes.h"

#include <arpa/inet.h>
#include <grp.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <pwd.h>
#include <sys/random.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/codepage.h"

namespace platform {
namespace {

// Connectivity flags of the network list manager (NLM_CONNECTIVITY).
constexpr std::uint32_t kIpv4LocalNetwork = 0x20;
constexpr std::uint32_t kIpv4Internet = 0x40;

bool InterfaceIsUp(const std::string& name) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool up = false;
  for (ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_name != nullptr && name == it->ifa_name && (it->ifa_flags & IFF_UP) != 0) up = true;
  }
  freeifaddrs(list);
  return up;
}

// Whether an up interface carries the IPv4 default route.
bool HasDefaultRoute() {
  std::ifstream routes("/proc/net/route");
  std::string line;
  std::getline(routes, line);  // header
  while (std::getline(routes, line)) {
    std::istringstream fields(line);
    std::string iface, destination, gateway, flags;
    fields >> iface >> destination >> gateway >> flags;
    const unsigned long routeFlags = std::strtoul(flags.c_str(), nullptr, 16);
    if (destination == "00000000" && (routeFlags & 0x1) != 0 && InterfaceIsUp(iface)) return true;
  }
  return false;
}

// Whether an interface other than loopback is up with an IPv4 address.
bool HasLocalNetwork() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool found = false;
  for (ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) continue;
    if ((it->ifa_flags & IFF_UP) != 0 && (it->ifa_flags & IFF_LOOPBACK) == 0) found = true;
  }
  freeifaddrs(list);
  return found;
}

std::optional<std::wstring> UserNameOf(uid_t uid) {
  std::vector<char> buffer(16384);
  passwd pw{};
  passwd* result = nullptr;
  if (getpwuid_r(uid, &pw, buffer.data(), buffer.size(), &result) != 0 || result == nullptr) return std::nullopt;
  return ToWide(pw.pw_name, kCodePageUtf8);
}

struct LanguageTag {
  const char* prefix;  // "ll_CC" or "ll"
  std::uint16_t id;
};

// Full locale names first, then bare languages as a fallback.
constexpr LanguageTag kLanguages[] = {
    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009},
    {"de_DE", 0x0407}, {"de_AT", 0x0C07}, {"de_CH", 0x0807}, {"fr_FR", 0x040C},
    {"fr_CA", 0x0C0C}, {"fr_BE", 0x080C}, {"fr_CH", 0x100C}, {"es_ES", 0x0C0A},
    {"es_MX", 0x080A}, {"it_IT", 0x0410}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
    {"zh_CN", 0x0804}, {"zh_SG", 0x1004}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04},
    {"ja_JP", 0x0411}, {"ko_KR", 0x0412}, {"ru_RU", 0x0419}, {"nl_NL", 0x0413},
    {"pl_PL", 0x0415}, {"tr_TR", 0x041F}, {"sv_SE", 0x041D}, {"cs_CZ", 0x0405},
    {"en", 0x0409}, {"de", 0x0407}, {"fr", 0x040C}, {"es", 0x0C0A}, {"it", 0x0410},
    {"pt", 0x0416}, {"zh", 0x0804}, {"ja", 0x0411}, {"ko", 0x0412}, {"ru", 0x0419},
    {"nl", 0x0413}, {"pl", 0x0415}, {"tr", 0x041F}, {"sv", 0x041D}, {"cs", 0x0405},
};

}  // namespace

bool QueryDiskSpace(const std::wstring& path, DiskSpace* out, std::uint32_t* lastError) {
  struct statvfs fs{};
  if (statvfs(ToNarrow(path, kCodePageUtf8).c_str(), &fs) != 0) {
    if (lastError != nullptr) *lastError = static_cast<std::uint32_t>(errno);
    return false;
  }
  const std::uint64_t unit = fs.f_frsize != 0 ? fs.f_frsize : fs.f_bsize;
  out->freeToCaller = static_cast<std::uint64_t>(fs.f_bavail) * unit;
  out->total = static_cast<std::uint64_t>(fs.f_blocks) * unit;
  out->totalFree = static_cast<std::uint64_t>(fs.f_bfree) * unit;
  return true;
}

bool CreateGuid(Guid* out) {
  unsigned char bytes[16];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  out->data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) | bytes[3];
  out->data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  out->data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  std::memcpy(out->data4, bytes + 8, 8);
  return true;
}

NetworkReport QueryNetwork() {
  NetworkReport report;
  report.managerCreated = true;
  report.connectivityQueried = true;
  if (HasDefaultRoute()) {
    report.connectivity = kIpv4Internet;
  } else if (HasLocalNetwork()) {
    report.connectivity = kIpv4LocalNetwork;
  }
  report.internetQueried = report.connectivity != 0;
  report.connectedToInternet = (report.connectivity & kIpv4Internet) != 0;
  return report;
}

void InitializeComForThread() {}
void UninitializeComForThread() {}

bool IsProcessAdmin() { return geteuid() == 0; }

bool IsAccountAdmin(const std::wstring& userName) {
  const std::string name = ToNarrow(userName, kCodePageUtf8);
  std::vector<char> buffer(16384);
  passwd pw{};
  passwd* user = nullptr;
  if (getpwnam_r(name.c_str(), &pw, buffer.data(), buffer.size(), &user) != 0 || user == nullptr) return false;
  if (user->pw_uid == 0) return true;
  int count = 64;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<std::size_t>(count));
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) return false;
  }
  groups.resize(static_cast<std::size_t>(count));
  for (gid_t gid : groups) {
    std::vector<char> groupBuffer(16384);
    group gr{};
    group* found = nullptr;
    if (getgrgid_r(gid, &gr, groupBuffer.data(), groupBuffer.size(), &found) != 0 || found == nullptr) continue;
    const std::string groupName = found->gr_name;
    if (groupName == "sudo" || groupName == "wheel" || groupName == "admin") return true;
  }
  return false;
}

std::optional<std::wstring> ConsoleUserName() {
  char login[256];
  if (getlogin_r(login, sizeof login) == 0 && login[0] != '\0') return ToWide(login, kCodePageUtf8);
  return UserNameOf(geteuid());
}

OsVersion QueryOsVersion() {
  OsVersion version;
  version.ntdllLoaded = true;
  version.entryFound = true;
  version.major = 10;
  version.minor = 0;
  version.build = 19045;
  return version;
}

std::uint16_t UserDefaultUiLanguage() {
  const char* locale = nullptr;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      locale = value;
      break;
    }
  }
  if (locale == nullptr) return 0x0409;
  const std::string text = locale;
  for (const LanguageTag& tag : kLanguages) {
    const std::size_t length = std::strlen(tag.prefix);
    if (text.compare(0, length, tag.prefix) != 0) continue;
    // "de" must not match "den_..."; the tag ends the name or a separator follows.
    if (text.size() == length || text[length] == '_' || text[length] == '.' || text[length] == '@') return tag.id;
  }
  return 0x0409;
}

}  // namespace platform
