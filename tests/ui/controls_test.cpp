#include <gtest/gtest.h>

#include <string>

#include "ui/toolkit/button.h"
#include "ui/toolkit/combo.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/headless_host.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/markup_loader.h"
#include "ui/toolkit/progress.h"
#include "ui/toolkit/window_tree.h"
#include "ui_test_support.h"

namespace ui {
namespace {

std::unique_ptr<WindowTree> Load(const std::string& body, TextTable* texts, BuilderCallback* callback = nullptr) {
  auto tree = std::make_unique<WindowTree>(texts);
  const std::string markup = "<Window size=\"200,100\"><Font id=\"0\" name=\"F\" size=\"10\" default=\"true\"/>"
                             "<Font id=\"1\" name=\"F\" size=\"20\"/>" + body + "</Window>";
  EXPECT_TRUE(LoadMarkup(markup, *tree, callback));
  tree->Layout({0, 0, 200, 100});
  return tree;
}

TEST(Properties, NamesMatchWithoutRegardToCaseAndUnknownOnesAreIgnored) {
  TextTable texts;
  auto tree = Load(R"(<VerticalLayout><Label NAME="l" Text="hi" WIDTH="40" TextColor="#FF102030"
                        isstretchfore="true" hotborercolor="#FF000000"/></VerticalLayout>)", &texts);
  auto* label = dynamic_cast<CLabel*>(tree->FindControl(L"l"));
  ASSERT_TRUE(label);
  EXPECT_EQ(label->GetText(), L"hi");
  EXPECT_EQ(label->GetFixedWidth(), 40);
  EXPECT_EQ(label->GetTextColor(), 0xFF102030u);
  EXPECT_FALSE(label->SetAttribute(L"isstretchfore", L"true"));
  EXPECT_TRUE(label->SetAttribute(L"userdata", L"正在安装中:%d%%"));
  EXPECT_EQ(label->GetUserData(), L"正在安装中:%d%%");
  // Base-class attributes through the derived table; booleans in any case.
  EXPECT_TRUE(label->SetAttribute(L"Visible", L"false"));
  EXPECT_FALSE(label->IsVisible());
  EXPECT_TRUE(label->SetAttribute(L"VISIBLE", L"TRUE"));
  EXPECT_TRUE(label->IsVisible());
}

// A custom control registers its own attribute in one line; an exact-case
// name is not matched in another case.
class CMarked : public CLabel {
 public:
  std::wstring GetClassName() const override { return L"Marked"; }
  static const PropertyTable& ClassProperties() {
    static const PropertyTable table = [] {
      PropertyTable t(&CLabel::ClassProperties());
      t.Text<CMarked>(L"markImage", &CMarked::SetMark, PropertyTable::NameMatch::kExactCase);
      return t;
    }();
    return table;
  }
  const PropertyTable& Properties() const override { return ClassProperties(); }
  void SetMark(const std::wstring& v) { mark = v; }
  std::wstring mark;
};

class MarkedBuilder : public BuilderCallback {
 public:
  std::unique_ptr<CControl> CreateCustomControl(const std::wstring& tag) override {
    ++asked;
    if (tag == L"Marked") return std::make_unique<CMarked>();
    return nullptr;
  }
  int asked = 0;
};

TEST(Builder, CallbackFirstThenBuiltinsThenPlainContainer) {
  TextTable texts;
  MarkedBuilder builder;
  auto tree = Load(R"(<VerticalLayout name="root">
      <Marked name="m" markImage="a.png" />
      <Marked name="n" markimage="b.png" />
      <Fancy name="f" height="30"><Button name="inner" /></Fancy>
      <label name="lower" />
    </VerticalLayout>)", &texts, &builder);
  EXPECT_EQ(builder.asked, 6);
  auto* m = dynamic_cast<CMarked*>(tree->FindControl(L"m"));
  auto* n = dynamic_cast<CMarked*>(tree->FindControl(L"n"));
  ASSERT_TRUE(m && n);
  EXPECT_EQ(m->mark, L"a.png");
  EXPECT_EQ(n->mark, L"");
  EXPECT_EQ(tree->FindControl(L"f")->GetClassName(), L"Container");
  EXPECT_EQ(tree->FindControl(L"f")->GetFixedHeight(), 30);
  EXPECT_TRUE(dynamic_cast<CButton*>(tree->FindControl(L"inner")));
  EXPECT_TRUE(dynamic_cast<CLabel*>(tree->FindControl(L"lower")));
}

class CCountingInit : public CControl {
 public:
  explicit CCountingInit(int* count) : count_(count) {}
  void DoInit() override { ++*count_; }

 private:
  int* count_;
};

TEST(Builder, ControlsAreInitialisedOnceWhetherBuiltOrAddedLater) {
  int inits = 0;
  struct Counting : BuilderCallback {
    int* inits;
    std::unique_ptr<CControl> CreateCustomControl(const std::wstring& tag) override {
      return tag == L"Counted" ? std::make_unique<CCountingInit>(inits) : nullptr;
    }
  } builder;
  builder.inits = &inits;
  TextTable texts;
  auto tree = Load("<VerticalLayout><Counted/><HorizontalLayout><Counted/></HorizontalLayout></VerticalLayout>",
                   &texts, &builder);
  EXPECT_EQ(inits, 2);
  dynamic_cast<CContainer*>(tree->GetRoot())->Add(std::make_unique<CCountingInit>(&inits));
  EXPECT_EQ(inits, 3);
}

TEST(Builder, BadMarkupIsRefusedWithAReason) {
  const char* cases[] = {
      "",
      "<Window><VerticalLayout></Window>",
      "<Dialog><VerticalLayout/></Dialog>",
      "<Window size=\"1,1\"><Font id=\"0\"/></Window>",
  };
  for (const char* markup : cases) {
    TextTable texts;
    WindowTree tree(&texts);
    std::wstring error;
    EXPECT_FALSE(LoadMarkup(markup, tree, nullptr, &error)) << markup;
    EXPECT_FALSE(error.empty()) << markup;
    EXPECT_EQ(tree.GetRoot(), nullptr);
  }
}

TEST(Builder, NestingBeyondTheLimitIsCutOff) {
  std::string deep;
  for (int i = 0; i < 500; ++i) deep += "<VerticalLayout>";
  deep += "<Label name=\"bottom\"/>";
  for (int i = 0; i < 500; ++i) deep += "</VerticalLayout>";
  TextTable texts;
  WindowTree tree(&texts);
  ASSERT_TRUE(LoadMarkup("<Window>" + deep + "</Window>", tree, nullptr));
  EXPECT_EQ(tree.FindControl(L"bottom"), nullptr);
  tree.Layout({0, 0, 10, 10});
}

TEST(Label, DrawsAndMeasuresItsTextWithTokensResolved) {
  TextTable texts;
  texts.Set(7, L"Install");
  auto tree = Load(R"(<HorizontalLayout><Label name="l" font="1" text="%{7} now %{8}" textcolor="#FF010203"
                       textpadding="4,0,0,0" align="center"/></HorizontalLayout>)", &texts);
  test::FakeMeasurer measurer;
  tree->SetTextMeasurer(&measurer);
  auto* label = dynamic_cast<CLabel*>(tree->FindControl(L"l"));
  ASSERT_TRUE(label);
  const Size size = label->MeasureText();
  EXPECT_EQ(measurer.lastText, L"Install now %{8}");
  EXPECT_EQ(size, (Size{16 * 10, 20}));

  test::RecordingPainter painter;
  tree->Paint(painter, {0, 0, 200, 100});
  ASSERT_EQ(painter.texts.size(), 1u);
  EXPECT_EQ(painter.texts[0].text, L"Install now %{8}");
  EXPECT_EQ(painter.texts[0].rect, (Rect{4, 0, 200, 100}));
  EXPECT_EQ(painter.texts[0].font.size, 20);
  EXPECT_EQ(painter.texts[0].color, 0xFF010203u);
  EXPECT_TRUE(painter.texts[0].style & TextStyle::kCenter);
  EXPECT_EQ(label->GetText(), L"%{7} now %{8}");  // the stored text keeps its tokens
}

TEST(Button, AsksForEachStateImageOnlyInThatState) {
  TextTable texts;
  auto tree = Load(R"(<HorizontalLayout><Button name="b" width="24" height="24" normalimage="n.png"
      hotimage="h.png" pushedimage="p.png" disabledimage="d.png" hotbkcolor="#FF5A9DFD"/></HorizontalLayout>)", &texts);
  HeadlessHost host(*tree);
  auto* button = dynamic_cast<CButton*>(tree->FindControl(L"b"));
  auto drawn = [&] {
    test::RecordingPainter painter;
    tree->Paint(painter, {0, 0, 200, 100});
    std::vector<std::wstring> files;
    for (const auto& i : painter.images) files.push_back(i.image.file);
    return files;
  };
  EXPECT_EQ(drawn(), std::vector<std::wstring>{L"n.png"});
  tree->OnMouseMove({5, 5});
  EXPECT_TRUE(button->IsHot());
  EXPECT_EQ(drawn(), std::vector<std::wstring>{L"h.png"});
  tree->OnButtonDown({5, 5});
  EXPECT_EQ(drawn(), std::vector<std::wstring>{L"p.png"});
  tree->OnButtonUp({5, 5});
  tree->OnMouseMove({150, 50});
  EXPECT_FALSE(button->IsHot());
  EXPECT_EQ(drawn(), std::vector<std::wstring>{L"n.png"});
  button->SetEnabled(false);
  EXPECT_EQ(drawn(), std::vector<std::wstring>{L"d.png"});
}

TEST(Button, AMissingStateImageFallsBackToTheNormalOne) {
  TextTable texts;
  auto tree = Load(R"(<HorizontalLayout><Button name="b" normalimage="n.png" disabledimage="gone.png" />
                     </HorizontalLayout>)", &texts);
  tree->FindControl(L"b")->SetEnabled(false);
  test::RecordingPainter painter;
  painter.missing = L"gone.png";
  tree->Paint(painter, {0, 0, 200, 100});
  ASSERT_EQ(painter.images.size(), 2u);
  EXPECT_EQ(painter.images[1].image.file, L"n.png");
}

TEST(Progress, ValueStaysInRangeAndSetsTheFilledPart) {
  TextTable texts;
  auto tree = Load(R"(<VerticalLayout><Progress name="p" width="120" height="8" foreimage="file='f.png' corner='2,2,2,2'"/>
                     </VerticalLayout>)", &texts);
  auto* bar = dynamic_cast<CProgress*>(tree->FindControl(L"p"));
  ASSERT_TRUE(bar);
  const struct {
    int set;
    int value;
    int filledRight;
  } cases[] = {{0, 0, 0}, {50, 50, 60}, {74, 74, 88}, {100, 100, 120}, {150, 100, 120}, {-5, 0, 0}};
  for (const auto& c : cases) {
    bar->SetValue(c.set);
    EXPECT_EQ(bar->GetValue(), c.value) << c.set;
    EXPECT_EQ(bar->FilledRect().right, c.filledRight) << c.set;
  }
  bar->SetValue(50);
  test::RecordingPainter painter;
  tree->Paint(painter, {0, 0, 200, 100});
  ASSERT_EQ(painter.images.size(), 1u);
  EXPECT_EQ(painter.images[0].image.DestIn(painter.images[0].control), (Rect{0, 0, 60, 8}));
  EXPECT_EQ(painter.images[0].image.corner, (Rect{2, 2, 2, 2}));
  bar->SetForeImage(L"res\\mainWnd\\installPrg3.png");
  EXPECT_EQ(bar->GetForeImage().file, L"res\\mainWnd\\installPrg3.png");
}

TEST(Combo, ItemsFromMarkupAndItemselect) {
  TextTable texts;
  auto tree = Load(R"(<VerticalLayout><Combo name="languageCombo" selectedid="1">
                       <Item text="English"/><Item text="中文"/></Combo></VerticalLayout>)", &texts);
  HeadlessHost host(*tree);
  test::Recorder recorder;
  tree->AddNotifyListener(&recorder);
  auto* combo = dynamic_cast<CCombo*>(tree->FindControl(L"languageCombo"));
  ASSERT_TRUE(combo);
  EXPECT_EQ(combo->GetCount(), 2);
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(combo->GetText(), L"中文");
  EXPECT_TRUE(combo->SelectItem(0));
  EXPECT_FALSE(combo->SelectItem(2));
  ASSERT_EQ(recorder.seen.size(), 1u);
  EXPECT_EQ(recorder.seen[0].type, L"itemselect");
  EXPECT_EQ(recorder.seen[0].wParam, 0u);
  EXPECT_EQ(recorder.seen[0].lParam, 1);
}

TEST(Edit, KeepsLongPathsAndHonoursMaxchar) {
  TextTable texts;
  auto tree = Load(R"(<VerticalLayout><Edit name="e"/><Edit name="short" maxchar="4"/></VerticalLayout>)", &texts);
  const std::wstring longPath(300, L'x');
  tree->FindControl(L"e")->SetText(longPath);
  EXPECT_EQ(tree->FindControl(L"e")->GetText(), longPath);
  tree->FindControl(L"short")->SetText(L"abcdefg");
  EXPECT_EQ(tree->FindControl(L"short")->GetText(), L"abcd");
}

TEST(Layout, FlexibleChildrenShareTheRestAndTheLastTakesTheRemainder) {
  TextTable texts;
  auto tree = Load(R"(<HorizontalLayout inset="1,2,3,4" childpadding="2">
      <Control name="a"/><Control name="b" width="50" padding="5,0,5,0"/><Control name="c"/><Control name="d"/>
    </HorizontalLayout>)", &texts);
  // inner 196 wide; used 50 + 10 + 3*2 = 66; 130 left for three: 43, 43, 44.
  EXPECT_EQ(tree->FindControl(L"a")->GetPos(), (Rect{1, 2, 44, 96}));
  EXPECT_EQ(tree->FindControl(L"b")->GetPos(), (Rect{51, 2, 101, 96}));
  EXPECT_EQ(tree->FindControl(L"c")->GetPos(), (Rect{108, 2, 151, 96}));
  EXPECT_EQ(tree->FindControl(L"d")->GetPos(), (Rect{153, 2, 197, 96}));
}

TEST(Layout, OverfullBoxesGiveFlexibleChildrenNothing) {
  TextTable texts;
  auto tree = Load(R"(<VerticalLayout><Control name="a" height="80"/><Control name="b"/>
                       <Control name="c" height="40"/></VerticalLayout>)", &texts);
  EXPECT_EQ(tree->FindControl(L"b")->GetPos(), (Rect{0, 80, 200, 80}));
  EXPECT_EQ(tree->FindControl(L"c")->GetPos(), (Rect{0, 80, 200, 120}));
}

TEST(Layout, AbsurdSizesInTheMarkupCannotOverflow) {
  TextTable texts;
  auto tree = Load(R"(<HorizontalLayout childpadding="2147483647" inset="-2147483648,0,0,0">
      <Control name="a" width="2147483647" padding="2147483647,0,2147483647,0"/>
      <Control name="b" width="99999999999"/><Control name="c"/></HorizontalLayout>)", &texts);
  EXPECT_EQ(tree->FindControl(L"a")->GetFixedWidth(), CControl::kMaxExtent);
  EXPECT_EQ(tree->FindControl(L"c")->GetPos().Width(), 0);
}

TEST(Layout, VisibilityAndSizeChangesAskForANewLayout) {
  TextTable texts;
  auto tree = Load(R"(<HorizontalLayout><Control name="a" width="30"/><Control name="b"/></HorizontalLayout>)", &texts);
  EXPECT_FALSE(tree->NeedsLayout());
  tree->FindControl(L"a")->SetFixedWidth(60);
  EXPECT_TRUE(tree->NeedsLayout());
  tree->LayoutIfNeeded();
  EXPECT_EQ(tree->FindControl(L"b")->GetPos(), (Rect{60, 0, 200, 100}));
  tree->FindControl(L"a")->SetVisible(false);
  tree->LayoutIfNeeded();
  EXPECT_EQ(tree->FindControl(L"b")->GetPos(), (Rect{0, 0, 200, 100}));
}

}  // namespace
}  // namespace ui
