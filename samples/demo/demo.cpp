// DEMO.EXE, the program the sample medium installs: a window titled "Demo
// Manager" with one line of text, so that an install can be seen to have
// placed a program that runs.
#include "system/win.h"

namespace {

constexpr char kClassName[] = "TDemoManager";
constexpr char kTitle[] = "Demo Manager";
constexpr char kLine[] = "Demo Manager 1.0 ist installiert.";
constexpr int kWidth = 420;
constexpr int kHeight = 160;

LRESULT CALLBACK DemoWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      RECT client;
      GetClientRect(wnd, &client);
      HWND line = CreateWindowExA(0, "STATIC", kLine, WS_CHILD | WS_VISIBLE | SS_CENTER, 0, client.bottom / 2 - 10,
                                  client.right, 20, wnd, nullptr, nullptr, nullptr);
      SendMessageA(line, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(wnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = DemoWindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kClassName;
  if (!RegisterClassA(&cls)) return 1;
  HWND wnd = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kWidth,
                             kHeight, nullptr, nullptr, instance, nullptr);
  if (!wnd) return 1;
  ShowWindow(wnd, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
