// Real windows under Wine (on a display of their own, see with-xvfb.sh):
// the skin from the program's embedded resource, the dialogs answered by
// real clicks posted to their windows, closing without a click, keys that
// do nothing, the modal result and the owner's state around a dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "ui/controls/sequence_label.h"
#include "ui/dialogs/message_box_wnd.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/image_cache.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/tab_layout.h"

namespace ui {
namespace {

class RealWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Wine cannot blend the shadow, so windows normally go without it there;
    // the shadow's window handling is exercised all the same.
    SetEnvironmentVariableW(L"TW_SHADOW_ON_WINE", L"1");
    SkinSystem::SetInstance(GetModuleHandleW(nullptr));
    SkinSystem::UseSevenZipArchives();
    SkinSystem::RegisterShadowClass();
  }
  void SetUp() override {
    if (std::getenv("TW_NO_XVFB")) GTEST_SKIP() << "no Xvfb binary: real windows need a display";
    SkinSystem::UseHeadlessWindows(false);
    SkinSystem::SetArchiveFile(L"");  // the embedded resource
  }
  void TearDown() override { SetDialogScript(nullptr); }

  // The client-area centre of a control, as mouse message coordinates.
  static LPARAM CentreOf(CMessageBoxWnd& dialog, const wchar_t* name) {
    CControl* control = dialog.FindControl(name);
    EXPECT_TRUE(control);
    if (!control) return 0;
    const Rect& r = control->GetPos();
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  static void PostClick(CMessageBoxWnd& dialog, const wchar_t* name) {
    HWND hwnd = static_cast<HWND>(dialog.GetHandle());
    const LPARAM at = CentreOf(dialog, name);
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
  }
  // Shows `file` with a script that does `act` to the real window first.
  static int Show(const wchar_t* file, const std::function<void(CMessageBoxWnd&)>& act, HWND parent = nullptr) {
    SetDialogScript([&](const DialogRequest& r) {
      EXPECT_FALSE(r.window->IsHeadless());
      act(*r.window);
      return kRunDialogWindow;
    });
    const int result = ShowDialog(parent, MakeSkinSource(file), nullptr, nullptr);
    SetDialogScript(nullptr);
    return result;
  }
};

TEST_F(RealWindowTest, SkinLoadsFromTheEmbeddedResourceUnderEitherName) {
  for (const wchar_t* file : {L"MainWnd.xml", L"mainWnd.xml"}) {
    CSkinFrame frame(MakeSkinSource(file));
    ASSERT_TRUE(frame.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
    EXPECT_FALSE(frame.IsHeadless());
    const Rect r = frame.GetWindowRect();
    EXPECT_EQ(r.Width(), 600);
    EXPECT_EQ(r.Height(), 400);
    EXPECT_EQ(frame.GetStyle() & (WS_CAPTION | WS_MAXIMIZEBOX), 0u);
    EXPECT_EQ(frame.Shadow().IsCreated(), SkinSystem::ShadowClassRegistered());
    frame.Close(1);
    EXPECT_EQ(frame.ShowModal(), 1);
    EXPECT_FALSE(frame.IsWindowAlive());
  }
}

TEST_F(RealWindowTest, ChangeFolderButtonImagesWrittenWithSlashesLoad) {
  CSkinFrame frame(MakeSkinSource(L"MainWnd.xml"));
  ASSERT_TRUE(frame.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  auto* button = dynamic_cast<CButton*>(frame.FindControl(L"chDirBtn"));
  ASSERT_TRUE(button);
  EXPECT_EQ(button->GetText(), L"修改");
  SkinPackage* package = SkinSystem::CurrentPackage();
  ASSERT_TRUE(package);
  for (const ImageRef* image : {&button->GetNormalImage(), &button->GetHotImage(), &button->GetPushedImage()}) {
    EXPECT_NE(image->file.find(L'/'), std::wstring::npos);
    EXPECT_TRUE(package->images->Loads(image->file)) << std::string(image->file.begin(), image->file.end());
  }
}

TEST_F(RealWindowTest, ClicksGiveTheDialogResults) {
  struct Case {
    const wchar_t* file;
    const wchar_t* control;
    int result;
  };
  const Case cases[] = {
      {L"ExitTipWnd.xml", L"okBtn", 0},          {L"ExitTipWnd.xml", L"cancelBtn", 1},
      {L"ExitTipWnd.xml", L"closebtn", 2},       {L"NetworkTipWnd.xml", L"okBtn", 0},
      {L"NetworkTipWnd.xml", L"cancelBtn", 1},   {L"NetworkTipWnd.xml", L"closebtn", 2},
      {L"InstalledPathTipWnd.xml", L"okBtn", 0}, {L"InstalledPathTipWnd.xml", L"cancelBtn", 1},
      {L"InstalledPathTipWnd.xml", L"closebtn", 2}, {L"MessageBox1Wnd.xml", L"closebtn", 2},
      {L"MessageBox2Wnd.xml", L"closebtn", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file, c.file + wcslen(c.file)) + " " +
                 std::string(c.control, c.control + wcslen(c.control)));
    EXPECT_EQ(Show(c.file, [&](CMessageBoxWnd& d) { PostClick(d, c.control); }), c.result);
  }
}

TEST_F(RealWindowTest, ClosingWithoutAClickGivesOne) {
  // A posted WM_CLOSE, and Alt+F4's path through the system menu command.
  EXPECT_EQ(Show(L"NetworkTipWnd.xml",
                 [](CMessageBoxWnd& d) { PostMessageW(static_cast<HWND>(d.GetHandle()), WM_CLOSE, 0, 0); }),
            1);
  EXPECT_EQ(Show(L"InstalledPathTipWnd.xml",
                 [](CMessageBoxWnd& d) {
                   PostMessageW(static_cast<HWND>(d.GetHandle()), WM_SYSCOMMAND, SC_CLOSE, 0);
                 }),
            1);
}

TEST_F(RealWindowTest, EscapeAndEnterDoNothing) {
  // Had Escape or Enter closed the dialog, the click would never count.
  EXPECT_EQ(Show(L"ExitTipWnd.xml",
                 [](CMessageBoxWnd& d) {
                   HWND hwnd = static_cast<HWND>(d.GetHandle());
                   PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
                   PostMessageW(hwnd, WM_KEYUP, VK_ESCAPE, 0);
                   PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
                   PostMessageW(hwnd, WM_KEYUP, VK_RETURN, 0);
                   PostClick(d, L"okBtn");
                 }),
            0);
}

// Looks at the owner from inside the dialog's modal loop.
class OwnerProbe : public NotifyListener {
 public:
  explicit OwnerProbe(HWND owner) : owner_(owner) {}
  void OnNotification(const Notification& n) override {
    if (n.type == L"probe") ownerDisabled = !IsWindowEnabled(owner_);
  }
  bool ownerDisabled = false;

 private:
  HWND owner_;
};

TEST_F(RealWindowTest, DialogOverAnOwnerIsCentredAndDisablesItWhileOpen) {
  CSkinFrame main(MakeSkinSource(L"MainWnd.xml"));
  ASSERT_TRUE(main.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  main.CenterWindow();
  HWND owner = static_cast<HWND>(main.GetHandle());
  const Rect m = main.GetWindowRect();
  Rect seen;
  OwnerProbe probe(owner);
  EXPECT_EQ(Show(
                L"ExitTipWnd.xml",
                [&](CMessageBoxWnd& d) {
                  seen = d.GetWindowRect();
                  d.Tree().AddNotifyListener(&probe);
                  d.Tree().PostNotify(nullptr, L"probe");
                  PostClick(d, L"cancelBtn");
                },
                owner),
            1);
  EXPECT_TRUE(probe.ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(seen.left, m.left + m.Width() / 2 - 180);
  EXPECT_EQ(seen.top, m.top + m.Height() / 2 - 90);
}

// Runs `action` when a notification of `type` reaches the window.
class OnNotify : public NotifyListener {
 public:
  OnNotify(const wchar_t* type, std::function<void()> action) : type_(type), action_(std::move(action)) {}
  void OnNotification(const Notification& n) override {
    if (n.type == type_ && action_) {
      auto action = std::move(action_);
      action();
    }
  }

 private:
  std::wstring type_;
  std::function<void()> action_;
};

// A second dialog opened from inside the first one's loop (as a window event
// does), the first closed while the second is open: the owner must stay
// disabled until the second one closes too.
TEST_F(RealWindowTest, StackedDialogsKeepTheOwnerDisabledUntilTheLastCloses) {
  CSkinFrame main(MakeSkinSource(L"MainWnd.xml"));
  ASSERT_TRUE(main.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  HWND owner = static_cast<HWND>(main.GetHandle());
  CMessageBoxWnd* first = nullptr;
  OwnerProbe probe(owner);
  std::unique_ptr<OnNotify> openSecond;
  int secondResult = -1;
  SetDialogScript([&](const DialogRequest& r) {
    if (r.skinFile == L"ExitTipWnd.xml") {
      first = r.window;
      openSecond = std::make_unique<OnNotify>(L"open", [&] {
        secondResult = ShowDialog(owner, MakeSkinSource(L"NetworkTipWnd.xml"), nullptr, nullptr);
      });
      r.window->Tree().AddNotifyListener(openSecond.get());
      r.window->Tree().PostNotify(nullptr, L"open");
    } else {
      first->Close(1);
      r.window->Tree().AddNotifyListener(&probe);
      r.window->Tree().PostNotify(nullptr, L"probe");
      PostClick(*r.window, L"okBtn");
    }
    return kRunDialogWindow;
  });
  EXPECT_EQ(ShowDialog(owner, MakeSkinSource(L"ExitTipWnd.xml"), nullptr, nullptr), 1);
  SetDialogScript(nullptr);
  EXPECT_EQ(secondResult, 0);
  EXPECT_TRUE(probe.ownerDisabled) << "the first dialog's close enabled the owner under the second";
  EXPECT_TRUE(IsWindowEnabled(owner));
}

void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

TEST_F(RealWindowTest, ShadowFollowsItsWindow) {
  ASSERT_TRUE(SkinSystem::ShadowClassRegistered());
  CSkinFrame frame(MakeSkinSource(L"MainWnd.xml"));
  ASSERT_TRUE(frame.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  HWND shadow = static_cast<HWND>(frame.Shadow().NativeHandle());
  ASSERT_TRUE(shadow);
  HWND parent = static_cast<HWND>(frame.GetHandle());
  EXPECT_FALSE(IsWindowVisible(shadow));  // the window is not shown yet
  frame.CenterWindow();                   // places and shows it
  PumpFor(200);
  ASSERT_TRUE(IsWindowVisible(parent));
  EXPECT_TRUE(IsWindowVisible(shadow));
  // Shadow size 6, offset 1,1: the companion reaches past every edge.
  auto expectAround = [&] {
    RECT p, s;
    GetWindowRect(parent, &p);
    GetWindowRect(shadow, &s);
    EXPECT_LT(s.left, p.left);
    EXPECT_LT(s.top, p.top);
    EXPECT_GT(s.right, p.right);
    EXPECT_GT(s.bottom, p.bottom);
  };
  expectAround();
  SetWindowPos(parent, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  expectAround();
  ShowWindow(parent, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(shadow));
  frame.Close(1);
  frame.ShowModal();
  EXPECT_FALSE(IsWindow(shadow));
}

TEST_F(RealWindowTest, ShadowFromAnImageCoversTheHoleOffset) {
  CSkinFrame frame(MakeSkinSource(L"MainWnd.xml"));
  ASSERT_TRUE(frame.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  CShadowWindow& shadow = frame.Shadow();
  EXPECT_FALSE(shadow.SetImage(L"res\\mainWnd\\noSuch.png", {}, {}));
  ASSERT_TRUE(shadow.SetImage(L"res\\mainWnd\\tipLbl.png", {2, 2, 2, 2}, {4, 5, 6, 7}));
  frame.CenterWindow();
  PumpFor(100);
  RECT p, s;
  GetWindowRect(static_cast<HWND>(frame.GetHandle()), &p);
  GetWindowRect(static_cast<HWND>(shadow.NativeHandle()), &s);
  EXPECT_EQ(s.left, p.left - 4);
  EXPECT_EQ(s.top, p.top - 5);
  EXPECT_EQ(s.right, p.right + 6);
  EXPECT_EQ(s.bottom, p.bottom + 7);
}

TEST_F(RealWindowTest, CaptionDragsExceptOverControlsThatTakeClicks) {
  CSkinFrame frame(MakeSkinSource(L"MainWnd.xml"));
  ASSERT_TRUE(frame.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  HWND hwnd = static_cast<HWND>(frame.GetHandle());
  auto hitAt = [&](int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  };
  const Rect close = frame.FindControl(L"closebtn")->GetPos();
  EXPECT_EQ(hitAt(300, 10), HTCAPTION);  // the top 35 pixels drag the window
  EXPECT_EQ(hitAt((close.left + close.right) / 2, (close.top + close.bottom) / 2), HTCLIENT);
  EXPECT_EQ(hitAt(300, 200), HTCLIENT);
}

TEST_F(RealWindowTest, TypingInTheNativeEditBoxReachesTheEditControl) {
  CSkinFrame frame(MakeSkinSource(L"MainWnd.xml"));
  ASSERT_TRUE(frame.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  auto* tabs = dynamic_cast<CTabLayout*>(frame.FindControl(L"mainTabLt"));
  ASSERT_TRUE(tabs);
  tabs->SelectItem(1);
  frame.Tree().LayoutIfNeeded();
  CControl* edit = frame.FindControl(L"installDirEdit");
  ASSERT_TRUE(edit);
  edit->SetText(L"C:\\Old");
  frame.CenterWindow();
  PumpFor(100);
  HWND hwnd = static_cast<HWND>(frame.GetHandle());
  const Rect r = edit->GetPos();
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
  HWND box = FindWindowExW(hwnd, nullptr, L"EDIT", nullptr);
  ASSERT_TRUE(box);
  EXPECT_TRUE(IsWindowVisible(box));
  wchar_t shown[64] = {};
  GetWindowTextW(box, shown, 64);
  EXPECT_STREQ(shown, L"C:\\Old");
  SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"D:\\New"));
  EXPECT_EQ(edit->GetText(), L"D:\\New");
  // A click elsewhere ends the editing; the text stays.
  const Rect change = frame.FindControl(L"chDirBtn")->GetPos();
  const LPARAM other = MAKELPARAM((change.left + change.right) / 2, (change.top + change.bottom) / 2);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, other);
  SendMessageW(hwnd, WM_LBUTTONUP, 0, other);
  EXPECT_FALSE(IsWindowVisible(box));
  EXPECT_EQ(edit->GetText(), L"D:\\New");
}

TEST_F(RealWindowTest, ModalResultIsTheWParamOfThePostedClose) {
  CSkinFrame frame(MakeSkinSource(L"MessageBox2Wnd.xml"));
  ASSERT_TRUE(frame.Create(nullptr, L"x", kStyleOverlappedVisible, 0));
  frame.Close(7);
  EXPECT_EQ(frame.ShowModal(), 7);
}

}  // namespace
}  // namespace ui
