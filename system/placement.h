// Where a window goes on the screen. Each window computes its own position
// (centred on the screen, or beside the shell window's step tree); on a small
// screen with large fonts that position can put part of the window off the
// screen, out of the user's reach. The computed position is kept wherever the
// window fits; otherwise the window moves the least distance that brings it
// inside the work area, and a window larger than the work area keeps its
// top-left corner, and with it the title bar, inside.
#pragma once

struct ScreenPoint {
  int x;
  int y;
};

struct ScreenArea {
  int left, top, right, bottom;
};

// The top-left corner for a window of width x height wanted at `wanted`.
ScreenPoint KeepInsideArea(ScreenPoint wanted, int width, int height, const ScreenArea& work);
