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

// The controls stand in their creation order: the column with the caption
// panel, the tree and the system panel, then the program name and the footer.
inline ShellView ReadShell(HWND wnd) {
  ShellView view;
  view.wnd = wnd;
  view.caption = uidriver::Text(wnd);
  std::vector<HWND> statics;
  for (HWND c : uidriver::Descendants(wnd)) {
    const std::string cls = uidriver::ClassName(c);
    if (cls == "Static") statics.push_back(c);
    if (cls == "SysTreeView32") {
      view.steps = uidriver::TreeItems(c);
      view.selectedStep = uidriver::TreeSelectedIndex(c);
    }
  }
  if (statics.size() != 4) return view;
  view.setupType = statics[0];
  view.setupTypeText = uidriver::Text(statics[0]);
  view.system = uidriver::Text(statics[1]);
  view.progName = statics[2];
  view.progNameText = uidriver::Text(statics[2]);
  view.footer = uidriver::Text(statics[3]);
  return view;
}

// Counts the pixels of exactly that colour (0x00RRGGBB) in the image.
inline int CountColour(const uidriver::Image& image, std::uint32_t rgb) {
  int n = 0;
  for (std::uint32_t p : image.pixels) n += p == rgb;
  return n;
}

}  // namespace testsupport
