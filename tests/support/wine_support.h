// Helpers for tests that run under Wine: the reported Windows version, the
// registry of the test prefix, child programs with their output, and files
// held open as another program would.
#pragma once

#include "system/handles.h"

#include <optional>
#include <string>

namespace wine_test {

// Makes Wine report a version ("win98", "winxp", "vista", ...) to programs
// started under the given file name; "" removes the setting again.
void SetReportedVersion(const std::string& exeName, const std::string& version);

// Registry values of the prefix. root is HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
void SetRegString(void* root, const std::string& key, const std::string& name, const std::string& value);
// Sets a value (nullptr: removes it) and restores what was there before when
// the scope ends.
class ScopedRegString {
public:
  ScopedRegString(void* root, std::string key, std::string name, const char* value);
  ~ScopedRegString();
  ScopedRegString(const ScopedRegString&) = delete;
  ScopedRegString& operator=(const ScopedRegString&) = delete;

private:
  void* root_;
  std::string key_, name_, old_;
  bool existed_;
  bool keyExisted_;
};
bool ReadRegString(void* root, const std::string& key, const std::string& name, std::string& value);
void DeleteRegValue(void* root, const std::string& key, const std::string& name);

// A file's use count among the shared files (HKEY_LOCAL_MACHINE): none when
// it has none; setting none removes it.
std::optional<unsigned long> SharedCount(const std::string& path);
void SetSharedCount(const std::string& path, std::optional<unsigned long> count);

struct RunResult {
  int exitCode = -1;
  std::string output;  // standard output and error together
};
// Runs a command line, waits up to timeoutMs and collects its output.
RunResult Run(const std::string& commandLine, const std::string& workDir = "", unsigned timeoutMs = 60000);

// Opens an existing file shared with nobody, as another program holding it
// would; invalid when it cannot.
kv::FileHandle HoldOpen(const std::string& path);

}  // namespace wine_test
