// The shipped skin loaded from the built archive and laid out: the positions
// and sizes below are what the markup implies.
#include <gtest/gtest.h>

#include <functional>

#include "ui/toolkit/button.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/markup_loader.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/progress.h"
#include "ui/toolkit/seven_zip_archive.h"
#include "ui/toolkit/skin_resources.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/window_tree.h"
#include "ui_test_support.h"

namespace ui {

void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

struct Expected {
  const wchar_t* name;
  Rect pos;
};

class SkinWindowTest : public ::testing::Test {
 protected:
  void Load(const wchar_t* file) {
    skin_ = ArchiveSkinResources::FromBytes(test::ReadBytes(TW_SKIN_ARCHIVE_PATH));
    ASSERT_TRUE(skin_);
    std::wstring error;
    ASSERT_TRUE(LoadMarkupFile(*skin_, file, tree_, nullptr, &error)) << std::string(error.begin(), error.end());
    const Size size = tree_.GetInitSize();
    tree_.Layout({0, 0, size.cx, size.cy});
  }
  CControl* Find(const wchar_t* name) {
    CControl* c = tree_.FindControl(name);
    EXPECT_TRUE(c) << std::string(name, name + wcslen(name));
    return c;
  }
  void ExpectPositions(std::initializer_list<Expected> expected) {
    tree_.LayoutIfNeeded();
    for (const Expected& e : expected) {
      CControl* c = Find(e.name);
      if (c) {
        EXPECT_EQ(c->GetPos(), e.pos) << std::string(e.name, e.name + wcslen(e.name));
      }
    }
  }
  void SelectPage(int page) {
    auto* tab = dynamic_cast<CTabLayout*>(Find(L"mainTabLt"));
    ASSERT_TRUE(tab);
    ASSERT_TRUE(tab->SelectItem(page));
    tree_.LayoutIfNeeded();
  }

  TextTable texts_;
  WindowTree tree_{&texts_};
  std::unique_ptr<ArchiveSkinResources> skin_;
};

TEST_F(SkinWindowTest, MainWindowSettingsFontsAndCustomAttributes) {
  Load(L"MainWnd.xml");
  EXPECT_EQ(tree_.GetInitSize(), (Size{600, 400}));
  EXPECT_EQ(tree_.GetCaptionRect(), (Rect{0, 0, 0, 35}));
  EXPECT_EQ(tree_.GetRoundCorner(), (Size{1, 0}));
  ASSERT_TRUE(tree_.GetCustomAttribute(L"showshadow"));
  EXPECT_EQ(*tree_.GetCustomAttribute(L"showshadow"), L"true");
  EXPECT_EQ(*tree_.GetCustomAttribute(L"ShadowColor"), L"#26003B76");
  EXPECT_EQ(tree_.GetCustomAttribute(L"shadowimage"), nullptr);
  EXPECT_EQ(tree_.GetCustomAttribute(L"size"), nullptr);  // interpreted, not custom

  const int sizes[] = {14, 18, 14, 12, 24, 32, 16};
  for (int id = 0; id < 7; ++id) {
    EXPECT_EQ(tree_.GetFont(id).size, sizes[id]) << id;
    EXPECT_EQ(tree_.GetFont(id).face, L"微软雅黑");
  }
  EXPECT_EQ(tree_.GetDefaultFont().id, 0);
  EXPECT_EQ(tree_.GetFont(-1).id, 0);
  EXPECT_EQ(tree_.GetFont(42).id, 0);
}

TEST_F(SkinWindowTest, MainWindowChromeAndStartPage) {
  Load(L"MainWnd.xml");
  ExpectPositions({
      {L"winCtn", {0, 0, 600, 400}},
      {L"titleTabLt", {10, 0, 210, 45}},
      {L"titleGrpCtn", {514, 12, 586, 36}},
      {L"minbtn", {514, 12, 538, 36}},
      {L"closebtn", {562, 12, 586, 36}},
      {L"mainTabLt", {1, 45, 599, 400}},
      {L"defaultInstallBtn", {200, 214, 400, 260}},
      {L"customeBtn", {489, 362, 589, 382}},
  });
  EXPECT_FALSE(Find(L"tipLbl")->IsVisible());
  Find(L"tipLbl")->SetVisible(true);
  ExpectPositions({{L"tipLbl", {11, 326, 127, 358}}});

  // The agreement row is hidden; shown, it takes its 180 pixels and the
  // flexible gap before "customeBtn" shrinks.
  CControl* treatyRow = Find(L"treatyCb")->GetParent();
  EXPECT_FALSE(treatyRow->IsVisible());
  treatyRow->SetVisible(true);
  ExpectPositions({
      {L"treatyCb", {21, 362, 89, 380}},
      {L"treatyBtn", {89, 362, 201, 380}},
      {L"customeBtn", {489, 362, 589, 382}},
  });
}

TEST_F(SkinWindowTest, MainWindowBackButtonPage) {
  Load(L"MainWnd.xml");
  auto* titleTab = dynamic_cast<CTabLayout*>(Find(L"titleTabLt"));
  ASSERT_TRUE(titleTab);
  EXPECT_EQ(titleTab->GetCurSel(), 0);
  EXPECT_FALSE(Find(L"backBtn")->GetParent()->IsVisible());
  titleTab->SelectItem(1);
  ExpectPositions({{L"backBtn", {10, 11, 74, 41}}});
}

TEST_F(SkinWindowTest, MainWindowCustomPage) {
  Load(L"MainWnd.xml");
  SelectPage(1);
  ExpectPositions({
      {L"installDirEdit", {129, 178, 469, 214}},
      {L"chDirBtn", {479, 178, 560, 214}},
      {L"createDSCb", {125, 234, 263, 252}},
      {L"createQSCb", {283, 234, 421, 252}},
      {L"customeInstallBtn", {200, 301, 400, 347}},
  });
  EXPECT_FALSE(Find(L"defaultInstallBtn")->GetParent()->IsVisible());
}

TEST_F(SkinWindowTest, MainWindowProgressPage) {
  Load(L"MainWnd.xml");
  SelectPage(2);
  ExpectPositions({
      {L"progressAnLb", {220, 98, 380, 258}},
      {L"progressLb", {120, 300, 480, 324}},
      {L"installPrg", {40, 344, 560, 352}},
  });
  auto* label = dynamic_cast<CLabel*>(Find(L"progressLb"));
  ASSERT_TRUE(label);
  EXPECT_EQ(label->GetText(), L"正在安装中:0%，请稍候...");
  EXPECT_EQ(label->GetFont(), 1);
  auto* bar = dynamic_cast<CProgress*>(Find(L"installPrg"));
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->GetValue(), 0);
  EXPECT_EQ(bar->GetForeImage().file, L"res\\mainWnd\\installPrg2.png");
  EXPECT_EQ(bar->GetForeImage().corner, (Rect{2, 2, 2, 2}));
  EXPECT_EQ(bar->GetBkImage().file, L"res\\mainWnd\\installPrg1.png");
}

TEST_F(SkinWindowTest, MainWindowFinishPage) {
  Load(L"MainWnd.xml");
  SelectPage(3);
  ExpectPositions({{L"openProduceBtn", {200, 292, 400, 338}}});
  // The finish row: mark, gap and the 50-high title centred in a 42-high row.
  auto* page = dynamic_cast<CContainer*>(Find(L"openProduceBtn")->GetParent());
  ASSERT_TRUE(page);
  auto* row = dynamic_cast<CContainer*>(page->GetItemAt(3));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->GetItemAt(0)->GetPos(), (Rect{206, 171, 246, 211}));
  EXPECT_EQ(row->GetItemAt(2)->GetPos(), (Rect{266, 166, 394, 216}));
  EXPECT_EQ(row->GetItemAt(2)->GetText(), L"安装完成");
}

TEST_F(SkinWindowTest, MainWindowControlAttributes) {
  Load(L"MainWnd.xml");
  auto* treaty = dynamic_cast<CCheckBox*>(Find(L"treatyCb"));
  ASSERT_TRUE(treaty);
  EXPECT_TRUE(treaty->IsSelected());
  EXPECT_EQ(treaty->GetText(), L"已同意");
  EXPECT_EQ(treaty->GetTextPadding().left, 26);
  EXPECT_EQ(treaty->GetNormalImage().file, L"res\\mainWnd\\Cb1.png");
  EXPECT_EQ(treaty->GetNormalImage().dest, (Rect{0, 2, 15, 16}));
  EXPECT_TRUE(dynamic_cast<CCheckBox*>(Find(L"treatyBtn"))->IsSelected());
  EXPECT_TRUE(dynamic_cast<CCheckBox*>(Find(L"createDSCb"))->IsSelected());
  EXPECT_TRUE(dynamic_cast<CCheckBox*>(Find(L"createQSCb"))->IsSelected());

  auto* install = dynamic_cast<CButton*>(Find(L"defaultInstallBtn"));
  ASSERT_TRUE(install);
  EXPECT_EQ(install->GetText(), L"立即安装");
  EXPECT_EQ(install->GetFont(), 1);
  EXPECT_EQ(install->GetTextColor(), 0xFFFFFFFFu);
  EXPECT_EQ(install->GetHotImage().file, L"res\\mainWnd\\installBtn2.png");

  auto* chDir = dynamic_cast<CButton*>(Find(L"chDirBtn"));
  ASSERT_TRUE(chDir);
  EXPECT_EQ(chDir->GetNormalImage().file, L"res/mainWnd/chDirBtn1.png");
  EXPECT_TRUE(skin_->Exists(chDir->GetNormalImage().file));
  EXPECT_TRUE(skin_->Exists(chDir->GetPushedImage().file));

  auto* custom = dynamic_cast<CButton*>(Find(L"customeBtn"));
  ASSERT_TRUE(custom);
  EXPECT_EQ(custom->GetTextPadding(), (Rect{0, 0, 18, 0}));
  EXPECT_EQ(custom->GetNormalImage().dest, (Rect{84, 2, 100, 18}));
  EXPECT_EQ(custom->GetTextStyle() & TextStyle::kHorizontalMask, unsigned{TextStyle::kRight});

  EXPECT_EQ(dynamic_cast<CLabel*>(Find(L"installDirEdit"))->GetTextPadding(), (Rect{9, 0, 9, 3}));
  EXPECT_EQ(Find(L"winCtn")->GetBkImage().file, L"res\\mainWnd\\bg1.png");
}

TEST_F(SkinWindowTest, EveryImageTheMarkupDrawsIsInTheSkin) {
  for (const wchar_t* file : {L"MainWnd.xml", L"MessageBox1Wnd.xml", L"MessageBox2Wnd.xml",
                              L"ExitTipWnd.xml", L"NetworkTipWnd.xml", L"InstalledPathTipWnd.xml"}) {
    WindowTree tree(&texts_);
    skin_ = ArchiveSkinResources::FromBytes(test::ReadBytes(TW_SKIN_ARCHIVE_PATH));
    ASSERT_TRUE(skin_);
    ASSERT_TRUE(LoadMarkupFile(*skin_, file, tree, nullptr));
    tree.Layout({0, 0, tree.GetInitSize().cx, tree.GetInitSize().cy});
    // Paint every page of every tab layout and check each image it asks for.
    test::RecordingPainter painter;
    std::function<void(CControl*)> showAll = [&](CControl* c) {
      if (auto* tab = dynamic_cast<CTabLayout*>(c)) {
        for (int i = 0; i < tab->GetCount(); ++i) {
          tab->SelectItem(i, false);
          tree.Paint(painter, tree.GetClientRect());
        }
      }
      if (auto* box = dynamic_cast<CContainer*>(c)) {
        for (int i = 0; i < box->GetCount(); ++i) showAll(box->GetItemAt(i));
      }
    };
    tree.Paint(painter, tree.GetClientRect());
    showAll(tree.GetRoot());
    ASSERT_FALSE(painter.images.empty());
    for (const auto& drawn : painter.images) {
      EXPECT_TRUE(skin_->Exists(drawn.image.file)) << std::string(drawn.image.file.begin(), drawn.image.file.end());
    }
    EXPECT_EQ(painter.depth, 0);
  }
}

TEST_F(SkinWindowTest, MessageBoxLayout) {
  Load(L"MessageBox1Wnd.xml");
  EXPECT_EQ(tree_.GetInitSize(), (Size{360, 180}));
  EXPECT_EQ(tree_.GetCaptionRect(), (Rect{0, 0, 0, 30}));
  EXPECT_EQ(tree_.GetRoundCorner(), (Size{2, 2}));
  EXPECT_EQ(tree_.GetFont(1).size, 16);
  ExpectPositions({
      {L"captionLbl", {10, 0, 330, 30}},
      {L"closebtn", {330, 3, 354, 27}},
      {L"textLbl", {0, 30, 360, 180}},
  });
  EXPECT_EQ(Find(L"captionLbl")->GetText(), L"CAPTION");
  EXPECT_EQ(Find(L"textLbl")->GetText(), L"TEXT");
  EXPECT_TRUE(dynamic_cast<CLabel*>(Find(L"textLbl"))->GetTextStyle() & TextStyle::kWordBreak);
  EXPECT_EQ(tree_.FindControl(L"okBtn"), nullptr);
}

TEST_F(SkinWindowTest, ExitPromptLayout) {
  Load(L"ExitTipWnd.xml");
  EXPECT_EQ(tree_.GetInitSize(), (Size{360, 180}));
  EXPECT_TRUE(tree_.GetFont(3).underline);
  EXPECT_EQ(tree_.GetFont(5).size, 30);
  ExpectPositions({
      {L"closebtn", {328, 8, 352, 32}},
      {L"okBtn", {172, 128, 248, 160}},
      {L"cancelBtn", {264, 128, 340, 160}},
  });
  EXPECT_EQ(Find(L"okBtn")->GetText(), L"是");
  EXPECT_EQ(Find(L"cancelBtn")->GetText(), L"否");
  EXPECT_EQ(Find(L"okBtn")->GetBorderColor(), 0xFF1890FFu);
  EXPECT_EQ(Find(L"cancelBtn")->GetBkColor(), 0xFF1675FEu);
  EXPECT_EQ(tree_.FindControl(L"textLbl"), nullptr);
  EXPECT_EQ(tree_.FindControl(L"captionLbl"), nullptr);
  // The attributes no control knows were skipped, not misapplied.
  EXPECT_FALSE(Find(L"okBtn")->SetAttribute(L"hotborercolor", L"#FF000000"));
  EXPECT_FALSE(Find(L"okBtn")->SetAttribute(L"pushedbordercolor", L"#FF000000"));
}

TEST_F(SkinWindowTest, DialogTextsAndShadows) {
  const struct {
    const wchar_t* file;
    const wchar_t* ok;
    const wchar_t* cancel;
    Size size;
    const wchar_t* shadowColor;
  } dialogs[] = {
      {L"NetworkTipWnd.xml", L"重新安装", L"稍后再试", {360, 180}, L"#26003B76"},
      {L"InstalledPathTipWnd.xml", L"安装最新版本", L"打开软件", {400, 180}, L"#FFEDF0F4"},
  };
  for (const auto& d : dialogs) {
    WindowTree tree(&texts_);
    skin_ = ArchiveSkinResources::FromBytes(test::ReadBytes(TW_SKIN_ARCHIVE_PATH));
    ASSERT_TRUE(LoadMarkupFile(*skin_, d.file, tree, nullptr));
    EXPECT_EQ(tree.GetInitSize(), d.size);
    ASSERT_TRUE(tree.FindControl(L"okBtn"));
    EXPECT_EQ(tree.FindControl(L"okBtn")->GetText(), d.ok);
    EXPECT_EQ(tree.FindControl(L"cancelBtn")->GetText(), d.cancel);
    EXPECT_TRUE(tree.FindControl(L"closebtn"));
    EXPECT_EQ(*tree.GetCustomAttribute(L"shadowcolor"), d.shadowColor);
  }
}

}  // namespace
}  // namespace ui
