// SkinSystem: the toolkit's process-wide set-up and the skin packages that
// windows read their markup and images from.
//
// The entry point initialises it before any window exists, in this order:
//
//   ui::SkinSystem::SetInstance(hInstance);      // resources and window classes
//   ui::SkinSystem::UseSevenZipArchives();       // the reader for resource archives
//   ui::SkinSystem::RegisterShadowClass();       // "SkinShadowWnd", when USER32
//                                                // exports UpdateLayeredWindow
//
// A window's skin source (resource kind, ID, folder) names its package:
//   kind 4 (kResourceKindArchive): the 7z archive in the program's resource
//     "SKINRES" <id>, language 2052, read once (FindResourceExW/LoadResource)
//     and kept in memory for the life of the process;
//   kind 1 (kResourceKindFile): loose files under the skin folder.
// SetArchiveFile replaces the resource archive with a 7z file on disk: tests,
// tools and every build without Windows resources use it (the headless build
// reads <build>/skin/skin.7z this way).
//
// Packages are made on first use and never freed, so a window may keep the
// pointers it was given. CurrentPackage() is the package the last window was
// built from (what the language loader reads "language.json" from).
//
// Threads: initialise on the UI thread before windows exist; the look-ups
// are serialised inside.
#pragma once

#include <memory>
#include <string>

namespace ui {

class ImageCache;
class SkinResources;

struct SkinPackage {
  std::unique_ptr<SkinResources> resources;
  std::unique_ptr<ImageCache> images;
};

class SkinSystem {
 public:
  static void SetInstance(void* instance);  // HINSTANCE
  static void* GetInstance();
  // Selects the 7z reader for archives stored as resources (the only reader
  // the toolkit has; kept as a step so the start-up order stays visible).
  static void UseSevenZipArchives();
  static bool SevenZipSelected();
  // Registers "SkinShadowWnd" when USER32 exports UpdateLayeredWindow. False
  // when it does not (windows then have no shadow) or without Windows.
  static bool RegisterShadowClass();
  static bool ShadowClassRegistered();

  // A 7z file on disk instead of the program's resource archive; an empty
  // path goes back to the resource.
  static void SetArchiveFile(const std::wstring& path);

  // The package for a window's skin source; null when it cannot be read.
  static SkinPackage* Package(int resourceKind, int resourceId, const std::wstring& folder);
  static SkinPackage* CurrentPackage();
  static void SetCurrentPackage(SkinPackage* package);

  // Windows built from now on have no native window (tests of window logic
  // on Windows). Always on outside Windows.
  static void UseHeadlessWindows(bool on);
  static bool HeadlessWindows();
};

}  // namespace ui
