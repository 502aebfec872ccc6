// Folders and files for the start-up tests: real files in the Wine prefix,
// written byte by byte so that the bytes on disk are exactly the test's.
#pragma once

#include "system/Data.h"
#include "system/Kv_tools.h"
#include "system/win.h"
#include "tools/uidriver/uidriver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace testsupport {

// A fresh folder C:\kvtest\<test name>\ for the current test.
inline std::string FreshFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/' || c == '\\') c = '_';
  }
  CreateDirectoryA("C:\\kvtest", nullptr);
  const std::string folder = "C:\\kvtest\\" + name;
  DeleteDirTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\";
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// Saves what the screen shows of the window under shots\ beside the test
// program, for a person to look at.
inline void SaveShot(HWND wnd, const std::string& name) {
  const std::string folder = GetAppDir() + "shots";
  CreateDirectoryA(folder.c_str(), nullptr);
  const uidriver::OnTop top(wnd);
  uidriver::SavePng(uidriver::CaptureRect(uidriver::ScreenRect(wnd)), folder + "\\" + name + ".png");
}

}  // namespace testsupport
