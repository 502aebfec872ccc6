#include "system/placement.h"

namespace {

// One axis: pulled back from the far edge first, so that a window longer than
// the area ends up at the near edge.
int KeepInside(int wanted, int size, int low, int high) {
  if (wanted + size > high) wanted = high - size;
  if (wanted < low) wanted = low;
  return wanted;
}

}  // namespace

ScreenPoint KeepInsideArea(ScreenPoint wanted, int width, int height, const ScreenArea& work) {
  return {KeepInside(wanted.x, width, work.left, work.right), KeepInside(wanted.y, height, work.top, work.bottom)};
}
