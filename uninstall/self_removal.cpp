#include "uninstall/self_removal.h"

#include <algorithm>

namespace {

// "%" starts a variable in a batch file; "%%" is a literal one. Inside
// quotes the interpreter takes blanks, "&", "^", "(" and ")" as they are.
std::string Escaped(const std::string& path) {
  std::string result;
  for (const char c : path) {
    result += c;
    if (c == '%') result += '%';
  }
  return result;
}

std::string Quoted(const std::string& path) { return "\"" + Escaped(path) + "\""; }

}  // namespace

std::vector<std::string> SelfRemovalLines(const std::string& programPath, const std::string& programDir,
                                          const std::string& scriptPath) {
  return {
      ":label1",
      "del " + Quoted(programPath),
      "if exist " + Quoted(programPath) + " ping -n 2 127.0.0.1 >nul",
      "if exist " + Quoted(programPath) + " goto label1",
      "rmdir " + Quoted(programDir),
      "del " + Quoted(scriptPath),
  };
}

std::string SelfRemovalScriptPath(const std::string& tempName) {
  constexpr std::size_t kExtensionLetters = 3;
  return tempName.substr(0, tempName.size() - std::min(tempName.size(), kExtensionLetters)) + "bat";
}
