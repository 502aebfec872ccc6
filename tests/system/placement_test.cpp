// The placement rule on its own: positions that fit are kept, others move the
// least distance, and a window too large keeps its top-left corner inside.
#include "system/placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Placement, KeptMovedOrPinnedToTheTopLeft) {
  const ScreenArea vga{0, 0, 640, 480};
  const ScreenArea besideTaskbar{0, 30, 800, 572};  // a taskbar at the top, another strip at the bottom
  struct Case {
    const char* what;
    ScreenPoint wanted;
    int width, height;
    ScreenArea work;
    ScreenPoint expected;
  };
  const std::vector<Case> cases = {
      {"inside", {100, 50}, 300, 200, vga, {100, 50}},
      {"touching every edge", {0, 0}, 640, 480, vga, {0, 0}},
      {"past the right edge", {439, 40}, 210, 100, vga, {430, 40}},
      {"past the bottom edge", {10, 400}, 100, 100, vga, {10, 380}},
      {"past both far edges", {600, 470}, 100, 100, vga, {540, 380}},
      {"above and left of the area", {-5, -20}, 100, 100, vga, {0, 0}},
      {"wider than the area", {-56, 10}, 752, 300, vga, {0, 10}},
      {"larger than the area, centred", {-56, -39}, 752, 558, vga, {0, 0}},
      {"larger, wanted right of the corner", {20, 20}, 700, 500, vga, {0, 0}},
      {"under a taskbar at the top", {50, 10}, 300, 200, besideTaskbar, {50, 30}},
      {"over a taskbar at the bottom", {50, 400}, 300, 200, besideTaskbar, {50, 372}},
      {"taller than the work area", {50, 0}, 300, 560, besideTaskbar, {50, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ScreenPoint at = KeepInsideArea(c.wanted, c.width, c.height, c.work);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
  }
}

}  // namespace
