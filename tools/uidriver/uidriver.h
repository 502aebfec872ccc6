// A small test driver for the program's windows: starts a program, finds its
// windows by class and caption, reads what a user sees (texts, enabled and
// visible states, tree items and the selected node), presses buttons, answers
// message boxes and takes screenshots. Works across processes, under Wine as
// on Windows.
#pragma once

#include "system/handles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace uidriver {

// A started program; it is killed on destruction if it still runs.
class Process {
public:
  // Starts exe with the given arguments in the executable's directory and
  // returns once it shows a visible window, ends, or timeoutMs passes.
  static Process Launch(const std::string& exe, const std::string& arguments,
                        DWORD timeoutMs = 10000);

  DWORD Id() const { return id_; }
  bool Running() const;
  // True when the process ended within timeoutMs.
  bool WaitForExit(DWORD timeoutMs) const;
  DWORD ExitCode() const;
  void Kill();
  ~Process();
  Process(Process&&) noexcept = default;
  Process& operator=(Process&&) noexcept = default;

private:
  Process() = default;
  kv::KernelHandle handle_;
  DWORD id_ = 0;
};

// Top-level windows of the process (0: of every process), in z-order.
std::vector<HWND> TopWindows(DWORD processId, bool visibleOnly);
// The first top-level window with that class (and caption, unless empty).
HWND FindTopWindow(DWORD processId, const std::string& cls, const std::string& caption = "");
HWND WaitForTopWindow(DWORD processId, const std::string& cls, const std::string& caption,
                      DWORD timeoutMs);

// The process's windows that have a taskbar button: visible top-level windows
// without an owner (unless tool windows), and those marked for the taskbar.
std::vector<HWND> TaskbarWindows(DWORD processId);

// Every descendant of parent, depth first.
std::vector<HWND> Descendants(HWND parent);
// The first descendant of that class (and text, unless empty).
HWND FindChild(HWND parent, const std::string& cls, const std::string& text = "");

std::string ClassName(HWND wnd);
std::string Text(HWND wnd);
bool IsVisible(HWND wnd);
bool IsEnabled(HWND wnd);
RECT ScreenRect(HWND wnd);
LONG Style(HWND wnd);

// The texts of a tree view's top-level items, and the index of its selected
// one (-1 for none). The tree may belong to another process.
std::vector<std::string> TreeItems(HWND tree);
int TreeSelectedIndex(HWND tree);

// Presses a button the way a click does, without waiting for its handler.
void Click(HWND button);

// A message box or dialog (#32770) of the process, as the user sees it.
struct DialogView {
  HWND wnd = nullptr;
  std::string title;
  std::string text;                  // the static texts, joined by "|"
  std::vector<std::string> buttons;  // captions, left to right
  bool hasIcon = false;
  int defaultId = 0;                 // id of the default button
};
HWND WaitForDialog(DWORD processId, DWORD timeoutMs);
DialogView ReadDialog(HWND dialog);
// Presses the dialog's button with that caption; false when there is none.
bool PressDialogButton(HWND dialog, const std::string& caption);

// A button a user could click now, with exactly that caption, in any window
// of the process (0: of every process), message boxes and dialogs first;
// waits up to timeoutMs for one to appear. Null when none did.
HWND WaitForButton(DWORD processId, const std::string& caption, DWORD timeoutMs);

// Screen pixels as 0x00RRGGBB, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
// Tests that show windows share one screen: a window of a test running beside
// would cover the one being looked at, whatever its z-order says (Wine's
// stacking of other processes' windows does not follow it). Such tests hold
// this lock, taken across processes, for as long as they show windows.
class ScreenLock {
public:
  ScreenLock();
  ~ScreenLock();
  ScreenLock(const ScreenLock&) = delete;
  ScreenLock& operator=(const ScreenLock&) = delete;

private:
  kv::KernelHandle mutex_;
};

// Keeps a top-level window above the others while the screen is read, and
// lets it paint first.
class OnTop {
public:
  explicit OnTop(HWND wnd);
  ~OnTop();
  OnTop(const OnTop&) = delete;
  OnTop& operator=(const OnTop&) = delete;

private:
  HWND wnd_;
};

Image CaptureScreen();
Image CaptureRect(const RECT& screenRect);  // clipped to the screen
bool SavePng(const Image& image, const std::string& path);

}  // namespace uidriver
