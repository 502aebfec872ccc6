// The application's own window. The taskbar shows a button for each visible
// top-level window without an owner, captioned with that window's title. The
// program's title is "Setup" in both modes, while the shell window's caption
// says "Deinstallation" when uninstalling; so the button belongs to a window
// of its own, titled with the application title, that owns the main window.
// It has no size: it is shown with the main window, minimised in its stead
// (which hides every window it owns), and hands its activation on to the
// window the user works with.
#include "system/dialogs.h"
#include "system/form.h"

namespace form {
namespace {

const char kApplicationClass[] = "KvApplication";
// Posted to itself, so the activation from the taskbar has settled first.
constexpr UINT kHandOnActivation = WM_APP + 1;

bool OwnedBy(HWND wnd, HWND owner) {
  for (HWND w = GetWindow(wnd, GW_OWNER); w; w = GetWindow(w, GW_OWNER)) {
    if (w == owner) return true;
  }
  return false;
}

// The window in front that takes input: the main window, or the modal window
// or message box shown over it.
HWND WorkingWindow(HWND application) {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (IsWindowVisible(w) && IsWindowEnabled(w) && OwnedBy(w, application)) return w;
  }
  return nullptr;
}

LRESULT CALLBACK ApplicationProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETFOCUS:
      PostMessageA(wnd, kHandOnActivation, 0, 0);
      return 0;
    case kHandOnActivation:
      if (!IsIconic(wnd) && GetFocus() == wnd) {
        if (const HWND working = WorkingWindow(wnd)) SetActiveWindow(working);
      }
      return 0;
    case WM_CLOSE: {
      // Closing from the taskbar closes the main window as its own close box
      // would; while a modal window is up, that window comes to the front.
      const HWND main = ApplicationMainWindow();
      if (main && IsWindowEnabled(main)) {
        PostMessageA(main, WM_CLOSE, 0, 0);
      } else if (const HWND working = WorkingWindow(wnd)) {
        SetActiveWindow(working);
      }
      return 0;
    }
    default:
      return DefWindowProcA(wnd, msg, wp, lp);
  }
}

// Destroys the window at the end of the process.
class ApplicationWindowOwner {
public:
  ApplicationWindowOwner() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = ApplicationProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.lpszClassName = kApplicationClass;
    RegisterClassA(&wc);
    wnd_ = CreateWindowExA(0, kApplicationClass, ApplicationTitle().c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                           nullptr, instance, nullptr);
  }
  ~ApplicationWindowOwner() {
    if (wnd_) DestroyWindow(wnd_);
  }
  ApplicationWindowOwner(const ApplicationWindowOwner&) = delete;
  ApplicationWindowOwner& operator=(const ApplicationWindowOwner&) = delete;
  HWND Get() const { return wnd_; }

private:
  HWND wnd_ = nullptr;
};

}  // namespace

HWND ApplicationWindow() {
  static const ApplicationWindowOwner application;
  return application.Get();
}

}  // namespace form
