// Screenshots of the start-up tests' windows.
#pragma once

#include "system/helpers.h"
#include "system/win.h"
#include "tools/uidriver/uidriver.h"

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// Saves what the screen shows of the window under shots\ beside the test
// program, for a person to look at.
inline void SaveShot(HWND wnd, const std::string& name) {
  const std::string folder = GetAppDir() + "shots";
  CreateDirectoryA(folder.c_str(), nullptr);
  const uidriver::OnTop top(wnd);
  uidriver::SavePng(uidriver::CaptureRect(uidriver::ScreenRect(wnd)), folder + "\\" + name + ".png");
}

}  // namespace testsupport
