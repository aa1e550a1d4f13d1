// tw-plant-probe: what the planted-DLL test asks a guarded program.
//   guard            exit 0 when the guard had restricted the DLL search to
//                    System32 before this program's static initialisers ran
//   by-name <dll>    LoadLibraryW(<dll>) as a system library would; prints
//                    the loaded file's path; exit 0 when it loaded
//   from-own-folder <dll>   loads <dll> from this program's folder on
//                    purpose: the test's proof that a planted copy would
//                    be loaded if anything looked there
#include <windows.h>

#include <cstdio>

#include "app/dll_guard.h"

namespace {

const app::DllSearchRestriction g_seenByStaticInitialiser = app::StartupDllSearchRestriction();

int Report(HMODULE module) {
  if (module == nullptr) {
    std::printf("not loaded (error %lu)\n", GetLastError());
    return 1;
  }
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  std::printf("%ls\n", n > 0 ? path : L"?");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && lstrcmpW(argv[1], L"guard") == 0) {
    return g_seenByStaticInitialiser == app::DllSearchRestriction::kSystem32Only ? 0 : 1;
  }
  if (argc == 3 && lstrcmpW(argv[1], L"by-name") == 0) return Report(LoadLibraryW(argv[2]));
  if (argc == 3 && lstrcmpW(argv[1], L"from-own-folder") == 0) {
    return Report(LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR));
  }
  std::fprintf(stderr, "usage: tw-plant-probe guard | by-name <dll> | from-own-folder <dll>\n");
  return 2;
}
