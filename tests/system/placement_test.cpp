// The placement rule: a position that fits is kept, others move the least
// distance, and a window too large keeps its top-left corner inside.
#include "system/placement.h"

#include <gtest/gtest.h>

namespace {

TEST(Placement, KeptMovedOrPinnedToTheTopLeft) {
  const ScreenArea vga{0, 0, 640, 480};
  const ScreenArea taskbars{0, 30, 800, 572};  // a taskbar above and one below
  const struct {
    const char* what;
    ScreenPoint wanted;
    int width, height;
    ScreenArea work;
    ScreenPoint expected;
  } cases[] = {
      {"inside", {100, 50}, 300, 200, vga, {100, 50}},
      {"touching every edge", {0, 0}, 640, 480, vga, {0, 0}},
      {"past both far edges", {600, 470}, 100, 100, vga, {540, 380}},
      {"above and left of the area", {-5, -20}, 100, 100, vga, {0, 0}},
      {"wider than the area", {-56, 10}, 752, 300, vga, {0, 10}},
      {"larger, wanted right of the corner", {20, 20}, 700, 500, vga, {0, 0}},
      {"under the upper taskbar", {50, 10}, 300, 200, taskbars, {50, 30}},
      {"over the lower taskbar", {50, 400}, 300, 200, taskbars, {50, 372}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ScreenPoint at = KeepInsideArea(c.wanted, c.width, c.height, c.work);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
  }
}

}  // namespace
