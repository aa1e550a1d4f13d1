// The frame base and the dialogs on headless windows over the shipped skin:
// results of every button, closing without a click, keys that must do
// nothing, the shadow settings the markup gives, and ShowDialog's texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "frame_test_support.h"
#include "ui/frame/skin_frame.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/text_style.h"

namespace ui {
namespace {

using test::HeadlessSkinTest;
using test::Narrow;

class FrameDialogTest : public HeadlessSkinTest {};

struct ClickCase {
  const wchar_t* file;
  const wchar_t* control;
  int result;
};

TEST_F(FrameDialogTest, EachButtonGivesItsResultAndClosesTheDialog) {
  const ClickCase cases[] = {
      {L"ExitTipWnd.xml", L"okBtn", 0},           {L"ExitTipWnd.xml", L"cancelBtn", 1},
      {L"ExitTipWnd.xml", L"closebtn", 2},        {L"NetworkTipWnd.xml", L"okBtn", 0},
      {L"NetworkTipWnd.xml", L"cancelBtn", 1},    {L"NetworkTipWnd.xml", L"closebtn", 2},
      {L"InstalledPathTipWnd.xml", L"okBtn", 0},  {L"InstalledPathTipWnd.xml", L"cancelBtn", 1},
      {L"InstalledPathTipWnd.xml", L"closebtn", 2}, {L"MessageBox1Wnd.xml", L"closebtn", 2},
      {L"MessageBox2Wnd.xml", L"closebtn", 2},
  };
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(Narrow(c.file) + " " + Narrow(c.control));
    CMessageBoxWnd dialog(MakeSkinSource(c.file));
    ASSERT_TRUE(dialog.Create(nullptr, L"消息框", kStyleOverlappedVisible, 0));
    EXPECT_EQ(dialog.Result(), 1);
    ASSERT_TRUE(headless::Click(dialog, c.control));
    EXPECT_EQ(dialog.Result(), c.result);
    EXPECT_FALSE(dialog.IsWindowAlive());
    EXPECT_EQ(headless::CloseResult(dialog), 1);  // every click closes with 1
  }
}

TEST_F(FrameDialogTest, ClosingWithoutAClickGivesOne) {
  for (const wchar_t* file : {L"ExitTipWnd.xml", L"NetworkTipWnd.xml", L"InstalledPathTipWnd.xml"}) {
    SCOPED_TRACE(Narrow(file));
    CMessageBoxWnd dialog(MakeSkinSource(file));
    ASSERT_TRUE(dialog.Create(nullptr, L"消息框", kStyleOverlappedVisible, 0));
    headless::Send(dialog, kWmClose, 0, 0);  // what Alt+F4 sends
    EXPECT_FALSE(dialog.IsWindowAlive());
    EXPECT_EQ(dialog.Result(), 1);
  }
}

TEST_F(FrameDialogTest, EscapeAndEnterDoNothingInAFrame) {
  CMessageBoxWnd dialog(MakeSkinSource(L"ExitTipWnd.xml"));
  ASSERT_TRUE(dialog.Create(nullptr, L"消息框", kStyleOverlappedVisible, 0));
  headless::PressKey(dialog, kVkEscape);
  headless::PressKey(dialog, kVkReturn);
  EXPECT_TRUE(dialog.IsWindowAlive());
  EXPECT_EQ(dialog.Result(), 1);
}

// A window on the toolkit's own key filter, for contrast: Escape closes it.
class PlainWindow : public SkinWindow {
 public:
  std::wstring GetWindowClassName() const override { return L"Plain"; }
  std::wstring GetSkinFile() const override { return L"exitTipWnd.xml"; }
  int GetResourceKind() const override { return kResourceKindArchive; }
  int GetResourceId() const override { return 147; }
};

TEST_F(FrameDialogTest, TheToolkitsOwnFilterClosesOnEscapeWithOne) {
  PlainWindow window;
  ASSERT_TRUE(window.Create(nullptr, L"plain", kStyleOverlappedVisible, 0));
  headless::PressKey(window, kVkReturn);
  EXPECT_TRUE(window.IsWindowAlive());
  headless::PressKey(window, kVkEscape);
  EXPECT_FALSE(window.IsWindowAlive());
  EXPECT_EQ(headless::CloseResult(window), 1);
}

TEST_F(FrameDialogTest, TabMovesTheFocusAndEnterActivatesTheFocusedButton) {
  CMessageBoxWnd dialog(MakeSkinSource(L"ExitTipWnd.xml"));
  ASSERT_TRUE(dialog.Create(nullptr, L"消息框", kStyleOverlappedVisible, 0));
  headless::PressKey(dialog, kVkTab);  // closebtn comes first in the markup
  EXPECT_EQ(dialog.Tree().GetFocus(), dialog.FindControl(L"closebtn"));
  headless::PressKey(dialog, kVkTab);
  EXPECT_EQ(dialog.Tree().GetFocus(), dialog.OkButton());
  headless::PressKey(dialog, kVkReturn);
  EXPECT_FALSE(dialog.IsWindowAlive());
  EXPECT_EQ(dialog.Result(), 0);
}

TEST_F(FrameDialogTest, SkinFileNamesMatchWithoutRegardToCase) {
  for (const wchar_t* file : {L"MainWnd.xml", L"mainWnd.xml", L"ExitTipWnd.xml", L"exittipwnd.XML"}) {
    SCOPED_TRACE(Narrow(file));
    CSkinFrame frame(MakeSkinSource(file));
    EXPECT_TRUE(frame.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  }
  CSkinFrame missing(MakeSkinSource(L"NoSuchWnd.xml"));
  EXPECT_FALSE(missing.Create(nullptr, L"x", kStyleOverlappedVisible, 0));
  EXPECT_FALSE(missing.IsWindowAlive());
  EXPECT_EQ(missing.ShowModal(), -1);
}

TEST_F(FrameDialogTest, SkinSourceOfAFileName) {
  const SkinSource s = MakeSkinSource(L"MessageBox1Wnd.xml");
  EXPECT_EQ(s.resourceKind, 4);
  EXPECT_EQ(s.resourceId, 147);
  EXPECT_TRUE(s.skinFolder.empty());
  EXPECT_EQ(s.windowClassName, L"MessageBox1Wnd");
  EXPECT_EQ(ClassNameFromSkinFile(L"a.b.xml"), L"a.b");
  EXPECT_EQ(ClassNameFromSkinFile(L"NoDot"), L"NoDot");
}

TEST_F(FrameDialogTest, FrameTakesTheShadowAndStyleFromTheMarkup) {
  struct Case {
    const wchar_t* file;
    int darkness;
    std::uint32_t color;
  };
  for (const Case& c : {Case{L"MainWnd.xml", 20, 0x26003B76u}, Case{L"InstalledPathTipWnd.xml", 10, 0xFFEDF0F4u}}) {
    SCOPED_TRACE(Narrow(c.file));
    CSkinFrame frame(MakeSkinSource(c.file));
    ASSERT_TRUE(frame.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
    EXPECT_EQ(frame.GetStyle() & 0x00C10000u, 0u);  // WS_CAPTION, WS_MAXIMIZEBOX cleared
    EXPECT_EQ(frame.GetStyle() & 0x00060000u, 0x00060000u);  // WS_THICKFRAME, WS_MINIMIZEBOX kept
    EXPECT_TRUE(frame.Shadow().IsAttached());
    const ShadowSettings& s = frame.Shadow().Settings();
    EXPECT_EQ(s.size(), 6);
    EXPECT_EQ(s.sharpness(), 10);
    EXPECT_EQ(s.darkness(), c.darkness);
    EXPECT_EQ(s.offset(), (Point{1, 1}));
    EXPECT_EQ(s.color(), c.color);
  }
}

TEST_F(FrameDialogTest, ShowDialogPutsTextAndCaptionIntoTheGenericBoxes) {
  std::wstring seenText, seenCaption, seenFile;
  bool hadText = false;
  SetDialogScript([&](const DialogRequest& r) {
    seenFile = r.skinFile;
    hadText = r.hasText;
    seenText = r.window->TextLabel()->GetText();
    seenCaption = r.window->CaptionLabel()->GetText();
    return 2;
  });
  EXPECT_EQ(ShowDialog(nullptr, MakeSkinSource(L"MessageBox2Wnd.xml"), L"无效路径", L"温馨提示"), 2);
  EXPECT_EQ(seenFile, L"MessageBox2Wnd.xml");
  EXPECT_TRUE(hadText);
  EXPECT_EQ(seenText, L"无效路径");
  EXPECT_EQ(seenCaption, L"温馨提示");

  // Without arguments the markup's placeholders stay.
  EXPECT_EQ(ShowDialog(nullptr, MakeSkinSource(L"MessageBox1Wnd.xml"), nullptr, nullptr), 2);
  EXPECT_FALSE(hadText);
  EXPECT_EQ(seenText, L"TEXT");
  EXPECT_EQ(seenCaption, L"CAPTION");
}

TEST_F(FrameDialogTest, ShowDialogRunsTheWindowWhenTheScriptSaysSo) {
  SetDialogScript([](const DialogRequest& r) {
    r.window->Tree().PostNotify(r.window->CancelButton(), L"click");
    return kRunDialogWindow;
  });
  EXPECT_EQ(ShowDialog(nullptr, MakeSkinSource(L"NetworkTipWnd.xml"), nullptr, nullptr), 1);
  SetDialogScript([](const DialogRequest& r) {
    r.window->Tree().PostNotify(r.window->OkButton(), L"click");
    return kRunDialogWindow;
  });
  EXPECT_EQ(ShowDialog(nullptr, MakeSkinSource(L"NetworkTipWnd.xml"), nullptr, nullptr), 0);
}

TEST_F(FrameDialogTest, ShowDialogWithoutAWindowGivesOne) {
  int asked = 0;
  SetDialogScript([&](const DialogRequest&) { return ++asked, 0; });
  EXPECT_EQ(ShowDialog(nullptr, MakeSkinSource(L"NoSuchWnd.xml"), L"x", L"y"), 1);
  EXPECT_EQ(asked, 0);
}

TEST_F(FrameDialogTest, DialogIsCentredOverItsParent) {
  CSkinFrame main(MakeSkinSource(L"MainWnd.xml"));
  ASSERT_TRUE(main.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  main.CenterWindow();
  const Rect m = main.GetWindowRect();
  EXPECT_EQ(m.Width(), 600);
  EXPECT_EQ(m.Height(), 400);
  Rect seen;
  SetDialogScript([&](const DialogRequest& r) {
    seen = r.window->GetWindowRect();
    return 1;
  });
  ShowDialog(main.GetHandle(), MakeSkinSource(L"ExitTipWnd.xml"), nullptr, nullptr);
  EXPECT_EQ(seen.Width(), 360);
  EXPECT_EQ(seen.left, m.left + (m.Width() / 2) - 180);
  EXPECT_EQ(seen.top, m.top + (m.Height() / 2) - 90);
}

TEST_F(FrameDialogTest, PostedMessagesArriveInOrderThroughTheUserHook) {
  class Recording : public CSkinFrame {
   public:
    Recording() : CSkinFrame(MakeSkinSource(L"MainWnd.xml")) {}
    std::intptr_t OnUserMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t,
                                bool& handled) override {
      if (msg == 2024) seen.push_back(static_cast<int>(wParam));
      handled = true;
      return 0;
    }
    std::intptr_t OnWindowMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t, bool& handled) override {
      handled = msg == kWmClose && refuseClose;
      return 0;
    }
    std::vector<int> seen;
    bool refuseClose = true;
  } window;
  ASSERT_TRUE(window.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(window.PostMessageToWindow(2024, i, 0));
  window.Close(1);
  headless::Pump(window);
  EXPECT_EQ(window.seen, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(window.IsWindowAlive());  // WM_CLOSE swallowed by the hook
  window.refuseClose = false;
  window.Close(7);
  EXPECT_EQ(window.ShowModal(), 7);
  EXPECT_FALSE(window.IsWindowAlive());
  EXPECT_FALSE(window.PostMessageToWindow(2024, 9, 0));
}

TEST_F(FrameDialogTest, WorkersPostMessagesAndNotificationsToTheWindow) {
  class Counting : public CSkinFrame {
   public:
    Counting() : CSkinFrame(MakeSkinSource(L"MessageBox2Wnd.xml")) {}
    std::intptr_t OnUserMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t, bool& handled) override {
      if (msg == 2024) ++messages;
      handled = true;
      return 0;
    }
    void OnNotification(const Notification& n) override {
      if (n.type == L"checknet") ++notifications;
      CSkinFrame::OnNotification(n);
    }
    int messages = 0;
    int notifications = 0;
  } window;
  ASSERT_TRUE(window.Create(nullptr, L"x", kStyleOverlappedVisible, 0));
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i) {
      window.PostMessageToWindow(2024, i, 0);
      window.Tree().PostNotify(nullptr, L"checknet", i);
    }
  });
  worker.join();
  headless::Pump(window);
  EXPECT_EQ(window.messages, 200);
  EXPECT_EQ(window.notifications, 200);
}

// Loose skin files in a folder (resource kind 1), with the shadow switch in
// the forms a skin might write it.
TEST_F(FrameDialogTest, FolderSkinAndTheShadowSwitch) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("tw-folder-skin-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(folder / "sub");
  struct Case {
    const char* showshadow;
    bool shadow;
  };
  int n = 0;
  for (const Case& c : {Case{"TRUE", true}, Case{"true", true}, Case{"yes", false}, Case{"1", false}}) {
    SCOPED_TRACE(c.showshadow);
    const std::string file = "Win" + std::to_string(n++) + ".xml";
    std::ofstream(folder / "sub" / file, std::ios::binary)
        << "<Window size=\"200,100\" showshadow=\"" << c.showshadow
        << "\" shadowsize=\"25\" shadowdarkness=\"40\"><VerticalLayout/></Window>";
    SkinSource source;
    source.resourceKind = kResourceKindFile;
    source.skinFolder = folder.wstring();
    source.skinFile = L"sub\\" + test::Wide(file.c_str());
    source.windowClassName = L"Win";
    CSkinFrame frame(source);
    ASSERT_TRUE(frame.Create(nullptr, L"x", kStyleOverlappedVisible, 0));
    EXPECT_EQ(frame.GetWindowRect().Width(), 200);
    EXPECT_EQ(frame.Shadow().IsAttached(), c.shadow);
    EXPECT_EQ(frame.Shadow().Settings().size(), 0);  // 25 is out of range
    EXPECT_EQ(frame.Shadow().Settings().darkness(), c.shadow ? 40 : 150);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}


// Reads the owner's state from inside the dialog's modal run.
class OwnerState : public NotifyListener {
 public:
  explicit OwnerState(SkinWindow& owner) : owner_(owner) {}
  void OnNotification(const Notification& n) override {
    if (n.type == L"probe") enabledWhileOpen = headless::IsEnabled(owner_);
  }
  bool enabledWhileOpen = true;

 private:
  SkinWindow& owner_;
};

TEST_F(FrameDialogTest, AModalDialogDisablesItsOwnerUntilItEnds) {
  CSkinFrame main(MakeSkinSource(L"MainWnd.xml"));
  ASSERT_TRUE(main.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
  OwnerState probe(main);
  SetDialogScript([&](const DialogRequest& r) {
    r.window->Tree().AddNotifyListener(&probe);
    r.window->Tree().PostNotify(nullptr, L"probe");
    r.window->Tree().PostNotify(r.window->CancelButton(), L"click");
    return kRunDialogWindow;
  });
  EXPECT_EQ(ShowDialog(main.GetHandle(), MakeSkinSource(L"ExitTipWnd.xml"), nullptr, nullptr), 1);
  EXPECT_FALSE(probe.enabledWhileOpen);
  EXPECT_TRUE(headless::IsEnabled(main));
}

// Where a multi-line label breaks its text, line by line: the longest
// prefix of what is left that the label's font fits into its width.
std::vector<std::wstring> WrappedLines(SkinWindow& window, CLabel& label) {
  const std::wstring text = window.Tree().ResolveText(label.GetText());
  const Rect area = label.GetPos().Deflated(label.GetTextPadding());
  std::vector<std::wstring> lines;
  std::wstring rest = text;
  while (!rest.empty()) {
    const std::size_t newline = rest.find(L'\n');
    std::wstring paragraph = rest.substr(0, newline);
    if (!paragraph.empty() && paragraph.back() == L'\r') paragraph.pop_back();
    rest = newline == std::wstring::npos ? std::wstring() : rest.substr(newline + 1);
    while (!paragraph.empty()) {
      std::size_t fits = 1;
      while (fits < paragraph.size() &&
             window.Tree().MeasureText(label, paragraph.substr(0, fits + 1), TextStyle::kSingleLine).cx <=
                 area.Width()) {
        ++fits;
      }
      lines.push_back(paragraph.substr(0, fits));
      paragraph.erase(0, fits);
    }
  }
  return lines;
}

bool EndsAtABreakOpportunity(const std::wstring& line) {
  const std::wstring breakAfter = L"，。？！；：、 ,.?!;:";
  return !line.empty() && breakAfter.find(line.back()) != std::wstring::npos;
}

void ForEachLabel(CControl* control, const std::function<void(CLabel&)>& visit) {
  if (auto* label = dynamic_cast<CLabel*>(control)) visit(*label);
  if (auto* container = dynamic_cast<CContainer*>(control)) {
    for (int i = 0; i < container->GetCount(); ++i) ForEachLabel(container->GetItemAt(i), visit);
  }
}

// Every text of every dialog fits its label at the window's font: single
// lines are not cut, and a text that must wrap breaks after punctuation,
// never inside a word, and keeps within the label's height.
TEST_F(FrameDialogTest, EveryDialogTextFitsItsLabel) {
  struct Case {
    const wchar_t* file;
    const wchar_t* text;  // the caller's text, for the generic boxes
  };
  const std::vector<Case> cases = {
      {L"ExitTipWnd.xml", nullptr},
      {L"NetworkTipWnd.xml", nullptr},
      {L"InstalledPathTipWnd.xml", nullptr},
      {L"MessageBox1Wnd.xml", L"安装程序检测到Tarnwick\r\n正在运行，请退出程序后再安装"},
      {L"MessageBox2Wnd.xml", L"无效路径"},
      {L"MessageBox2Wnd.xml", L"当前磁盘剩余空间低于1GB，请修改安装路径"},
      {L"MessageBox2Wnd.xml", L"当前网络环境较差，请在网络通畅时进行安装"},
      {L"MessageBox2Wnd.xml", L"安装失败"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.file));
    CMessageBoxWnd dialog(MakeSkinSource(c.file));
    ASSERT_TRUE(dialog.Create(nullptr, L"消息框", kStyleOverlappedVisible, 0));
    if (c.text != nullptr) {
      dialog.TextLabel()->SetText(c.text);
      dialog.CaptionLabel()->SetText(L"温馨提示");
    }
    dialog.Tree().LayoutIfNeeded();
    ForEachLabel(dialog.Tree().GetRoot(), [&](CLabel& label) {
      if (label.GetText().empty() || dynamic_cast<CButton*>(&label) != nullptr) return;
      SCOPED_TRACE(Narrow(label.GetText()));
      const Rect area = label.GetPos().Deflated(label.GetTextPadding());
      const int lineHeight = dialog.Tree().GetFont(label.GetFont()).size;
      const std::vector<std::wstring> lines = WrappedLines(dialog, label);
      const bool multiline = (label.GetTextStyle() & TextStyle::kWordBreak) != 0;
      if (!multiline) {
        EXPECT_EQ(lines.size(), 1u) << "a single-line label cuts its text";
        return;
      }
      EXPECT_LE(static_cast<int>(lines.size()) * lineHeight, area.Height());
      const std::wstring text = label.GetText();
      std::size_t at = 0;
      for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        at += lines[i].size();
        const bool explicitBreak = at < text.size() && (text[at] == L'\r' || text[at] == L'\n');
        EXPECT_TRUE(explicitBreak || EndsAtABreakOpportunity(lines[i])) << "breaks inside a word";
        while (at < text.size() && (text[at] == L'\r' || text[at] == L'\n')) ++at;
      }
    });
  }
}

}  // namespace
}  // namespace ui
