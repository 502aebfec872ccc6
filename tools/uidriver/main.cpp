// uidriver: the test driver from the command line, for scripts that start the
// program themselves (a screenshot of a demo run, a look at a hanging one).
#include "tools/uidriver/uidriver.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kNotFound = 1;
constexpr int kUsage = 2;

int Usage() {
  std::fputs(
      "usage: uidriver wait CLASS [SECONDS]     wait for a visible window of that class\n"
      "       uidriver shot FILE.png [CLASS]    save the screen (or that window) as PNG\n"
      "       uidriver dump CLASS               list the window's controls and states\n"
      "       uidriver press CAPTION [SECONDS]  press the button with that caption in a\n"
      "                                         window or message box, waiting for it\n",
      stderr);
  return kUsage;
}

HWND VisibleWindow(const std::string& cls) {
  HWND wnd = uidriver::FindTopWindow(0, cls);
  return wnd && uidriver::IsVisible(wnd) ? wnd : nullptr;
}

int Dump(HWND wnd) {
  std::printf("%s \"%s\"\n", uidriver::ClassName(wnd).c_str(), uidriver::Text(wnd).c_str());
  for (HWND c : uidriver::Descendants(wnd)) {
    std::printf("  %s \"%s\"%s%s\n", uidriver::ClassName(c).c_str(), uidriver::Text(c).c_str(),
                uidriver::IsVisible(c) ? "" : " hidden", uidriver::IsEnabled(c) ? "" : " disabled");
    if (uidriver::ClassName(c) == "SysTreeView32") {
      const int selected = uidriver::TreeSelectedIndex(c);
      const auto items = uidriver::TreeItems(c);
      for (std::size_t i = 0; i < items.size(); ++i) {
        std::printf("    %c %s\n", static_cast<int>(i) == selected ? '>' : '-', items[i].c_str());
      }
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  const std::string arg = argv[2];
  if (command == "wait") {
    const DWORD seconds = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 10;
    return uidriver::WaitForTopWindow(0, arg, "", seconds * 1000) ? 0 : kNotFound;
  }
  if (command == "shot") {
    uidriver::Image image;
    if (argc > 3) {
      HWND wnd = VisibleWindow(argv[3]);
      if (!wnd) return kNotFound;
      const uidriver::OnTop top(wnd);
      image = uidriver::CaptureRect(uidriver::ScreenRect(wnd));
    } else {
      image = uidriver::CaptureScreen();
    }
    return uidriver::SavePng(image, arg) ? 0 : kNotFound;
  }
  if (command == "dump") {
    HWND wnd = VisibleWindow(arg);
    return wnd ? Dump(wnd) : kNotFound;
  }
  if (command == "press") {
    const DWORD seconds = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 0;
    HWND button = uidriver::WaitForButton(0, arg, seconds * 1000);
    if (!button) return kNotFound;
    uidriver::Click(button);
    return 0;
  }
  return Usage();
}
