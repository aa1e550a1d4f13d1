// Opens every window of the shipped skin, one after another, for the
// screenshot script (take-screenshots.sh): the main window on each of its
// four pages (pages selected directly in the tab layout, with the page
// chrome the main window would set; the progress page twice, so two shots
// show the animation moving on) and the five dialogs with the texts their
// callers give. Only the skin is needed, not the installer's main window.
//
// Hand-shake, per shot: the program writes "<folder>/<name>.ready" holding
// the window's rectangle "left top width height", then keeps its windows
// running until the script has taken the shot and written
// "<folder>/<name>.done" (at most 60 s).
//
//   skin_screenshots <folder>
#include <windows.h>
#undef DrawText
#undef GetClassName

#include <cstdio>
#include <string>

#include "ui/controls/sequence_label.h"
#include "ui/dialogs/message_box_wnd.h"
#include "ui/frame/skin_frame.h"
#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/progress.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/tab_layout.h"

namespace {

std::string g_folder;

// Dispatches this thread's messages for `ms` milliseconds.
void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Announces one shot and waits for the script to take it.
bool Shot(const char* name, ui::SkinWindow& window) {
  Pump(700);  // painted, shadow placed
  const ui::Rect r = window.GetWindowRect();
  const std::string base = g_folder + "/" + name;
  if (FILE* f = std::fopen((base + ".tmp").c_str(), "wb")) {
    std::fprintf(f, "%d %d %d %d\n", r.left, r.top, r.Width(), r.Height());
    std::fclose(f);
    MoveFileA((base + ".tmp").c_str(), (base + ".ready").c_str());
  }
  for (int i = 0; i < 600; ++i) {
    if (Exists(base + ".done")) return true;
    Pump(100);
  }
  std::fprintf(stderr, "no shot taken of %s\n", name);
  return false;
}

class MainSkin : public ui::CSkinFrame {
 public:
  MainSkin() : CSkinFrame(ui::MakeSkinSource(L"MainWnd.xml")) {}
  std::unique_ptr<ui::CControl> CreateCustomControl(const std::wstring& tag) override {
    if (ui::EqualsIgnoreCase(tag, L"SequenceLabel")) return std::make_unique<ui::CSequenceLabel>();
    if (ui::EqualsIgnoreCase(tag, L"SequenceButton")) return std::make_unique<ui::CSequenceButton>();
    return nullptr;
  }
  void OnSkinReady() override {
    CSkinFrame::OnSkinReady();
    SetStyle((GetStyle() & ui::kStyleClearCaptionMaxBox) | ui::kStyleClipChildrenSiblings);
  }

  // The page and the chrome the main window shows with it.
  void ShowPage(int page) {
    static const wchar_t* backgrounds[] = {L"res\\mainWnd\\bg1.png", L"res\\mainWnd\\bg2.png",
                                           L"res\\mainWnd\\bg3.png", L"res\\mainWnd\\bg4.png"};
    auto* tabs = dynamic_cast<ui::CTabLayout*>(FindControl(L"mainTabLt"));
    auto* title = dynamic_cast<ui::CTabLayout*>(FindControl(L"titleTabLt"));
    if (tabs) tabs->SelectItem(page, false);
    if (title) title->SelectItem(page == 3 ? 2 : 1, false);
    if (ui::CControl* back = FindControl(L"winCtn")) back->SetBkImage(backgrounds[page]);
    if (ui::CControl* group = FindControl(L"titleGrpCtn")) group->SetVisible(page != 2);
    if (ui::CControl* back = FindControl(L"backBtn")) back->SetVisible(page == 1);
    if (auto* animation = dynamic_cast<ui::CSequenceLabel*>(FindControl(L"progressAnLb"))) {
      if (page == 2) animation->Restart();
      else animation->Stop();
    }
    if (page == 1) {
      if (ui::CControl* edit = FindControl(L"installDirEdit")) edit->SetText(L"C:\\Program Files (x86)\\Tarnwick");
    }
    if (page == 2) {
      if (auto* bar = dynamic_cast<ui::CProgress*>(FindControl(L"installPrg"))) bar->SetValue(40);
      if (ui::CControl* text = FindControl(L"progressLb")) text->SetText(L"正在安装中:40%，请稍候...");
    }
  }
};

LRESULT CALLBACK BackdropProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A light full-screen window behind the skinned ones, so the shadows show.
HWND MakeBackdrop() {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = BackdropProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hbrBackground = CreateSolidBrush(RGB(0xE4, 0xE8, 0xEE));
  cls.lpszClassName = L"TarnwickShotBackdrop";
  RegisterClassExW(&cls);
  return CreateWindowExW(WS_EX_TOOLWINDOW, cls.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                         cls.hInstance, nullptr);
}

void CloseAndWait(ui::SkinWindow& window) {
  window.Close(1);
  for (int i = 0; i < 100 && window.IsWindowAlive(); ++i) Pump(50);
}

bool MainWindowShots() {
  MainSkin main;
  if (!main.Create(nullptr, L"Tarnwick", ui::kStyleOverlappedVisible, 0)) return false;
  main.CenterWindow();
  bool ok = true;
  main.ShowPage(0);
  ok = Shot("main-page0", main) && ok;
  main.ShowPage(1);
  ok = Shot("main-page1", main) && ok;
  main.ShowPage(2);
  ok = Shot("main-page2-a", main) && ok;
  Pump(100);
  ok = Shot("main-page2-b", main) && ok;
  main.ShowPage(3);
  ok = Shot("main-page3", main) && ok;
  CloseAndWait(main);
  return ok;
}

bool DialogShot(const char* name, const wchar_t* file, const wchar_t* text, const wchar_t* caption) {
  ui::CMessageBoxWnd dialog(ui::MakeSkinSource(file));
  if (!dialog.Create(nullptr, L"消息框", ui::kStyleOverlappedVisible, 0)) return false;
  if (text && dialog.TextLabel()) dialog.TextLabel()->SetText(text);
  if (caption && dialog.CaptionLabel()) dialog.CaptionLabel()->SetText(caption);
  dialog.CenterWindow();
  const bool ok = Shot(name, dialog);
  CloseAndWait(dialog);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: skin_screenshots <folder>\n");
    return 2;
  }
  g_folder = argv[1];
  ui::SkinSystem::SetInstance(GetModuleHandleW(nullptr));
  ui::SkinSystem::UseSevenZipArchives();
  ui::SkinSystem::RegisterShadowClass();
  HWND backdrop = MakeBackdrop();
  Pump(300);

  bool ok = MainWindowShots();
  ok = DialogShot("MessageBox1Wnd", L"MessageBox1Wnd.xml", L"安装程序检测到Tarnwick\r\n正在运行，请退出程序后再安装",
                  L"温馨提示") && ok;
  ok = DialogShot("MessageBox2Wnd", L"MessageBox2Wnd.xml", L"当前磁盘剩余空间低于1GB，请修改安装路径", L"温馨提示") && ok;
  ok = DialogShot("exitTipWnd", L"ExitTipWnd.xml", nullptr, nullptr) && ok;
  ok = DialogShot("NetworkTipWnd", L"NetworkTipWnd.xml", nullptr, nullptr) && ok;
  ok = DialogShot("InstalledPathTipWnd", L"InstalledPathTipWnd.xml", nullptr, nullptr) && ok;
  if (backdrop) DestroyWindow(backdrop);
  return ok ? 0 : 1;
}
