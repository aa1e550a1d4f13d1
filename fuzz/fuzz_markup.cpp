// Window markup: a fuzzed markup file is loaded into a window tree on a
// headless host, laid out at its own size and at a few others, and its
// timers are run.
//
// Invariants: a file that loads has a root control; layout, painting-free
// input routing and timers finish on whatever sizes and attributes the file
// gives.
#include <algorithm>
#include <climits>

#include "fuzz_support.h"
#include "ui/toolkit/control.h"
#include "ui/toolkit/headless_host.h"
#include "ui/toolkit/markup_loader.h"
#include "ui/toolkit/window_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 256 * 1024) return 0;
  const std::string markup(reinterpret_cast<const char*>(data), size);

  ui::TextTable texts;
  texts.Set(1, L"%{1}%{2}");
  texts.Set(2, L"第二");
  ui::WindowTree tree(&texts);
  ui::HeadlessHost host(tree);
  std::wstring error;
  if (!ui::LoadMarkup(markup, tree, nullptr, &error)) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  FUZZ_CHECK(tree.GetRoot() != nullptr);

  const ui::Size init = tree.GetInitSize();
  const ui::Rect sizes[] = {
      {0, 0, std::clamp(init.cx, 0, 4096), std::clamp(init.cy, 0, 4096)},
      {0, 0, 0, 0},
      {-50, -50, 10, 10},
      {0, 0, 600, 400},
  };
  for (const ui::Rect& client : sizes) {
    tree.Layout(client);
    tree.LayoutIfNeeded();
  }
  host.Advance(5000);
  host.DeliverPosted(100);
  return 0;
}
