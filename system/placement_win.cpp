#include "system/placement.h"
#include "system/placement_win.h"

void PlaceOnScreen(HWND wnd, int left, int top) {
  RECT window{};
  GetWindowRect(wnd, &window);
  RECT work{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const ScreenPoint at = KeepInsideArea({left, top}, window.right - window.left, window.bottom - window.top,
                                        {work.left, work.top, work.right, work.bottom});
  SetWindowPos(wnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
