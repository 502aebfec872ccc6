// The shell window as the UI driver sees it, for the start-up tests.
#pragma once

#include "tools/uidriver/uidriver.h"

#include <string>
#include <vector>

namespace testsupport {

struct ShellView {
  HWND wnd = nullptr;
  std::string caption;
  HWND setupType = nullptr;
  std::string setupTypeText;
  std::vector<std::string> steps;
  int selectedStep = -1;
  std::string system;
  HWND progName = nullptr;
  std::string progNameText;
  std::string footer;
};

// The column holds the caption panel and the system panel, in that order;
// beside it stand the owner-drawn program name and the footer.
inline ShellView ReadShell(HWND wnd) {
  ShellView view;
  view.wnd = wnd;
  view.caption = uidriver::Text(wnd);
  std::vector<HWND> column;
  for (HWND c : uidriver::Descendants(wnd)) {
    const std::string cls = uidriver::ClassName(c);
    if (cls == "SysTreeView32") {
      view.steps = uidriver::TreeItems(c);
      view.selectedStep = uidriver::TreeSelectedIndex(c);
    }
    if (cls != "Static") continue;
    if (GetParent(c) != wnd) {
      column.push_back(c);
    } else if ((uidriver::Style(c) & SS_TYPEMASK) == SS_OWNERDRAW) {
      view.progName = c;
      view.progNameText = uidriver::Text(c);
    } else {
      view.footer = uidriver::Text(c);
    }
  }
  if (column.size() != 2) return view;
  view.setupType = column[0];
  view.setupTypeText = uidriver::Text(column[0]);
  view.system = uidriver::Text(column[1]);
  return view;
}

// Counts the pixels of exactly that colour (0x00RRGGBB) in the image.
inline int CountColour(const uidriver::Image& image, std::uint32_t rgb) {
  int n = 0;
  for (std::uint32_t p : image.pixels) n += p == rgb;
  return n;
}

}  // namespace testsupport
