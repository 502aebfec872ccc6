#include "tools/uidriver/uidriver.h"

#include <commctrl.h>

#include <algorithm>

namespace uidriver {
namespace {

// Answers from a window that is busy (a modal loop of its own, a hung
// handler) must not stop the driver.
constexpr UINT kSendTimeoutMs = 2000;
constexpr DWORD kPollMs = 25;
constexpr DWORD kCloseTimeoutMs = 3000;
constexpr std::size_t kTextLimit = 4096;
constexpr DWORD kPaintSettleMs = 300;
const char kScreenLockName[] = "KvUiDriver.Screen";

LRESULT Send(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(wnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

// Memory inside another process, for messages whose argument points to it.
class RemoteBuffer {
public:
  RemoteBuffer(HWND owner, std::size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_.Reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (process_) {
      address_ = VirtualAllocEx(process_.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  char* Address() const { return static_cast<char*>(address_); }
  bool Write(const void* data, std::size_t size, std::size_t offset = 0) const {
    return address_ && WriteProcessMemory(process_.Get(), Address() + offset, data, size, nullptr);
  }
  bool Read(void* data, std::size_t size, std::size_t offset = 0) const {
    return address_ && ReadProcessMemory(process_.Get(), Address() + offset, data, size, nullptr);
  }

private:
  kv::KernelHandle process_;
  void* address_ = nullptr;
};

std::vector<HTREEITEM> TreeRoots(HWND tree) {
  std::vector<HTREEITEM> items;
  auto item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  while (item) {
    items.push_back(item);
    item = reinterpret_cast<HTREEITEM>(
        Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  }
  return items;
}

struct WindowSearch {
  DWORD processId;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND wnd, LPARAM lp) {
  auto& search = *reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if ((search.processId == 0 || pid == search.processId) &&
      (!search.visibleOnly || IsWindowVisible(wnd))) {
    search.found.push_back(wnd);
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND wnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
  return TRUE;
}

template <typename Predicate>
HWND PollFor(DWORD timeoutMs, Predicate found) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND wnd = found()) return wnd;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(kPollMs);
  }
}

}  // namespace

Process Process::Launch(const std::string& exe, const std::string& arguments, DWORD timeoutMs) {
  Process process;
  // The program sees its own path as the first word of its command line.
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  const std::string directory = exe.substr(0, exe.find_last_of('\\') + 1);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    return process;
  }
  CloseHandle(info.hThread);
  process.handle_.Reset(info.hProcess);
  process.id_ = info.dwProcessId;
  PollFor(timeoutMs, [&process]() -> HWND {
    if (!process.Running()) return GetDesktopWindow();  // any window ends the wait
    const auto windows = TopWindows(process.id_, true);
    return windows.empty() ? nullptr : windows.front();
  });
  return process;
}

bool Process::Running() const {
  return handle_ && WaitForSingleObject(handle_.Get(), 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD timeoutMs) const {
  return handle_ && WaitForSingleObject(handle_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (handle_) GetExitCodeProcess(handle_.Get(), &code);
  return code;
}

void Process::Kill() {
  if (!Running()) return;
  // Closed windows leave the screen at once; a terminated process's windows
  // linger on Wine's screen for a while and spoil the next screenshot.
  for (HWND wnd : TopWindows(id_, false)) PostMessageA(wnd, WM_CLOSE, 0, 0);
  if (WaitForExit(kCloseTimeoutMs)) return;
  TerminateProcess(handle_.Get(), 1);
  WaitForExit(kCloseTimeoutMs);
}

Process::~Process() { Kill(); }

std::vector<HWND> TopWindows(DWORD processId, bool visibleOnly) {
  WindowSearch search{processId, visibleOnly, {}};
  EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> TaskbarWindows(DWORD processId) {
  std::vector<HWND> result;
  for (HWND wnd : TopWindows(processId, true)) {
    const LONG exStyle = GetWindowLongA(wnd, GWL_EXSTYLE);
    const bool unowned = !GetWindow(wnd, GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW);
    if (unowned || (exStyle & WS_EX_APPWINDOW)) result.push_back(wnd);
  }
  return result;
}

HWND FindTopWindow(DWORD processId, const std::string& cls, const std::string& caption) {
  for (HWND wnd : TopWindows(processId, false)) {
    if (ClassName(wnd) == cls && (caption.empty() || Text(wnd) == caption)) return wnd;
  }
  return nullptr;
}

HWND WaitForTopWindow(DWORD processId, const std::string& cls, const std::string& caption,
                      DWORD timeoutMs) {
  return PollFor(timeoutMs, [&] {
    HWND wnd = FindTopWindow(processId, cls, caption);
    return wnd && IsWindowVisible(wnd) ? wnd : nullptr;
  });
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND FindChild(HWND parent, const std::string& cls, const std::string& text) {
  for (HWND wnd : Descendants(parent)) {
    if (ClassName(wnd) == cls && (text.empty() || Text(wnd) == text)) return wnd;
  }
  return nullptr;
}

std::string ClassName(HWND wnd) {
  char name[256] = {};
  GetClassNameA(wnd, name, sizeof name);
  return name;
}

std::string Text(HWND wnd) {
  std::vector<char> text(kTextLimit);
  Send(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

bool IsVisible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }
bool IsEnabled(HWND wnd) { return IsWindowEnabled(wnd) != FALSE; }

RECT ScreenRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

LONG Style(HWND wnd) { return GetWindowLongA(wnd, GWL_STYLE); }

std::vector<std::string> TreeItems(HWND tree) {
  constexpr std::size_t kItemText = 260;
  std::vector<std::string> texts;
  const RemoteBuffer remote(tree, sizeof(TVITEMA) + kItemText);
  for (HTREEITEM item : TreeRoots(tree)) {
    TVITEMA query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = remote.Address() + sizeof(TVITEMA);
    query.cchTextMax = kItemText;
    char text[kItemText] = {};
    if (!remote.Write(&query, sizeof query) ||
        !Send(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.Address())) ||
        !remote.Read(text, kItemText - 1, sizeof(TVITEMA))) {
      texts.emplace_back();
      continue;
    }
    texts.emplace_back(text);
  }
  return texts;
}

int TreeSelectedIndex(HWND tree) {
  const auto selected = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  const auto roots = TreeRoots(tree);
  const auto it = std::find(roots.begin(), roots.end(), selected);
  return selected && it != roots.end() ? static_cast<int>(it - roots.begin()) : -1;
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

HWND WaitForDialog(DWORD processId, DWORD timeoutMs) {
  return PollFor(timeoutMs, [processId] {
    for (HWND wnd : TopWindows(processId, true)) {
      if (ClassName(wnd) == "#32770") return wnd;
    }
    return HWND{};
  });
}

DialogView ReadDialog(HWND dialog) {
  DialogView view;
  view.wnd = dialog;
  view.title = Text(dialog);
  view.defaultId = LOWORD(Send(dialog, DM_GETDEFID, 0, 0));
  std::vector<std::pair<LONG, std::string>> buttons;
  for (HWND c : Descendants(dialog)) {
    const std::string cls = ClassName(c);
    if (cls == "Button") {
      buttons.emplace_back(ScreenRect(c).left, Text(c));
    } else if (cls == "Static") {
      if ((Style(c) & SS_TYPEMASK) == SS_ICON) {
        view.hasIcon = true;
      } else {
        view.text += (view.text.empty() ? "" : "|") + Text(c);
      }
    }
  }
  std::sort(buttons.begin(), buttons.end());
  for (auto& b : buttons) view.buttons.push_back(b.second);
  return view;
}

bool PressDialogButton(HWND dialog, const std::string& caption) {
  HWND button = FindChild(dialog, "Button", caption);
  if (!button) return false;
  Click(button);
  return true;
}

HWND WaitForButton(DWORD processId, const std::string& caption, DWORD timeoutMs) {
  return PollFor(timeoutMs, [&]() -> HWND {
    std::vector<HWND> windows = TopWindows(processId, true);
    // A modal box or dialog stands in front of the window it belongs to.
    std::stable_partition(windows.begin(), windows.end(), [](HWND w) { return ClassName(w) == "#32770"; });
    for (HWND wnd : windows) {
      // A window behind a modal one takes no clicks.
      if (!IsEnabled(wnd)) continue;
      for (HWND c : Descendants(wnd)) {
        if (ClassName(c) == "Button" && Text(c) == caption && IsVisible(c) && IsEnabled(c)) return c;
      }
    }
    return nullptr;
  });
}

ScreenLock::ScreenLock() : mutex_(CreateMutexA(nullptr, FALSE, kScreenLockName)) {
  // An abandoned lock (a test that crashed holding it) is ours all the same.
  WaitForSingleObject(mutex_.Get(), INFINITE);
}

ScreenLock::~ScreenLock() { ReleaseMutex(mutex_.Get()); }

OnTop::OnTop(HWND wnd) : wnd_(wnd) {
  SetWindowPos(wnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  // The window may belong to this very thread (a test that creates it), which
  // then has to paint it itself.
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kPaintSettleMs) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(kPollMs);
  }
}

OnTop::~OnTop() {
  SetWindowPos(wnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

Image CaptureScreen() {
  return CaptureRect(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

Image CaptureRect(const RECT& wanted) {
  // Wine copies nothing when the source reaches past the screen's edge.
  const RECT screenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT r{};
  IntersectRect(&r, &wanted, &screenRect);
  Image image;
  image.width = r.right - r.left;
  image.height = r.bottom - r.top;
  if (image.width <= 0 || image.height <= 0) return Image{};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  kv::WindowDC screen(nullptr);
  void* bits = nullptr;
  kv::GdiObject<HBITMAP> bitmap(
      CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return Image{};
  const kv::MemoryDC memory(CreateCompatibleDC(screen.Get()));
  {
    const kv::Selection selected(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, image.width, image.height, screen.Get(), r.left, r.top, SRCCOPY);
    GdiFlush();
  }
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  image.pixels.assign(pixels, pixels + static_cast<std::size_t>(image.width) * image.height);
  for (auto& p : image.pixels) p &= 0xFFFFFF;
  return image;
}

}  // namespace uidriver
