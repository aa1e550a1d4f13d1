#include "ui/toolkit/centering.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(Centering, CentresOverTheReferenceAndStaysInTheWorkArea) {
  const Rect work{0, 0, 1920, 1040};
  const Rect window{0, 0, 600, 400};
  const Rect dialog{0, 0, 361, 181};
  const Rect owner{100, 100, 700, 500};
  const Rect ownerAtEdge{1700, 900, 2300, 1300};
  const Rect ownerLeft{-500, -300, 100, 100};
  const struct {
    const Rect* window;
    const Rect* owner;
    bool minimized;
    Point origin;
  } cases[] = {
      {&window, nullptr, false, {660, 320}},
      {&dialog, &owner, false, {400 - 180, 300 - 90}},
      {&dialog, &owner, true, {960 - 180, 520 - 90}},  // minimised owner: the work area
      {&dialog, &ownerAtEdge, false, {1920 - 361, 1040 - 181}},
      {&dialog, &ownerLeft, false, {0, 0}},
  };
  for (const auto& c : cases) {
    const Point p = CenteredOrigin(*c.window, c.owner, c.minimized, work);
    EXPECT_EQ(p, c.origin) << p.x << "," << p.y;
  }
  // A work area that does not start at 0 (taskbar on the left).
  EXPECT_EQ(CenteredOrigin(window, nullptr, false, {60, 0, 1920, 1080}), (Point{690, 340}));
}

}  // namespace
}  // namespace ui
