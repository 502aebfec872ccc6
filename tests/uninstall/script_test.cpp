// The self-removal script run for real under Wine's command interpreter: a
// stand-in for the running uninstaller is deleted as soon as it has ended,
// then its directory, then the script itself.
#include "system/helpers.h"
#include "system/handles.h"
#include "tests/support/test_files.h"
#include "uninstall/self_removal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    ::Sleep(50);
  }
  return true;
}

kv::KernelHandle Start(const std::string& program, const std::string& arguments) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = "\"" + program + "\" " + arguments;
  if (!::CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return {};
  ::CloseHandle(process.hThread);
  return kv::KernelHandle(process.hProcess);
}

TEST(SelfRemoval, DeletesTheProgramAfterItEndsThenItsDirectoryAndItself) {
  struct Case {
    const char* what;
    const char* folder;
    const char* tempFolder;  // "" for the system's temporary folder
    bool fileLeftBehind;
  };
  const Case cases[] = {
      {"blanks and an umlaut", "Büro Demo", "", false},
      {"a character without OEM form", "Preis€", "", false},
      {"temporary folder with a blank", "Demo", "Mein Temp", false},
      // Without a blank, which would make a short name of it.
      {"temporary folder with & % ^ ( ) !", "Demo & Co (100%) ^!", "Meier&Co(50%^1)!", false},
      {"temporary folder naming a defined variable", "Demo", "T%PATH%x", false},
      {"another file in the directory", "Demo", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kvtest::TempDir temp;
    const std::string dir = temp.Path() + c.folder + "\\";
    const std::string program = dir + "Uninstal.exe";
    ASSERT_TRUE(ForceDirectories(dir));
    ASSERT_TRUE(::CopyFileA((GetAppDir() + "uninstall_stand_in.exe").c_str(), program.c_str(), FALSE));
    ::SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_READONLY);
    if (c.fileLeftBehind) kvtest::WriteBytes(dir + "Daten.hdb", "x");
    char oldTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableA("TMP", oldTemp, MAX_PATH);
    if (*c.tempFolder) {
      ForceDirectories(temp.Path() + c.tempFolder);
      ::SetEnvironmentVariableA("TMP", (temp.Path() + c.tempFolder).c_str());
    }

    const kv::KernelHandle running = Start(program, "1500");
    ASSERT_TRUE(running);
    const std::string script = StartSelfRemoval(program);
    ::SetEnvironmentVariableA("TMP", oldTemp);
    ::SetCurrentDirectoryA(GetAppDir().c_str());  // the script's folder is about to go
    const std::string text = kvtest::ReadText(script);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << text;
    if (std::string(c.folder) == "Büro Demo") {
      std::string oem = program;
      std::replace(oem.begin(), oem.end(), '\xFC', '\x81');
      EXPECT_NE(text.find("\r\ndel \"" + oem + "\"\r\n"), std::string::npos) << text;
    }

    ::Sleep(500);
    EXPECT_TRUE(FileExists(program)) << "deleted while running";
    ASSERT_EQ(::WaitForSingleObject(running.Get(), 10000), WAIT_OBJECT_0);
    const DWORD ended = ::GetTickCount();
    EXPECT_TRUE(WaitUntil(5000, [&] { return !FileExists(program) && !FileExists(script); }))
        << "program or script left";
    if (c.fileLeftBehind) {
      EXPECT_TRUE(FileExists(dir + "Daten.hdb"));
    } else {
      EXPECT_TRUE(WaitUntil(2000, [&] { return !DirectoryExists(dir); })) << "directory left";
    }
    std::printf("[ timing ] %s: gone %lu ms after the program ended\n", c.what,
                static_cast<unsigned long>(::GetTickCount() - ended));
    ::DeleteFileA((script.substr(0, script.size() - 3) + "TMP").c_str());
  }
}

}  // namespace
