#include "ui/toolkit/centering.h"
#include "ui/toolkit/modal_owners.h"

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

// Two dialogs over one owner, the first closed while the second is open:
// the owner comes back only with the last, and one that someone else had
// disabled stays disabled.
TEST(ModalOwners, TheLastLoopOverAnOwnerEnablesIt) {
  ModalOwners owners;
  int owner = 0, other = 0;
  EXPECT_TRUE(owners.Enter(&owner, /*ownerEnabled=*/true));
  EXPECT_FALSE(owners.Enter(&owner, /*ownerEnabled=*/false));
  EXPECT_EQ(owners.Count(&owner), 2);
  EXPECT_FALSE(owners.Leave(&owner)) << "the first dialog closed; the second is still open";
  EXPECT_TRUE(owners.Leave(&owner));
  EXPECT_EQ(owners.Count(&owner), 0);
  EXPECT_FALSE(owners.Leave(&owner)) << "an unbalanced leave changes nothing";

  EXPECT_FALSE(owners.Enter(&other, /*ownerEnabled=*/false));
  EXPECT_FALSE(owners.Leave(&other));
  EXPECT_FALSE(owners.Enter(nullptr, true));
}

}  // namespace
}  // namespace ui
