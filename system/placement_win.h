// Placing a window on the screen with the rule of system/placement.h.
#pragma once

#include "system/win.h"

// Moves the window to (left, top), or as little from there as keeps it inside
// the work area (the screen without the taskbar).
void PlaceOnScreen(HWND wnd, int left, int top);
