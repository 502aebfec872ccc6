#include "system/command_line.h"

#include "system/ascii_case.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// "/NAME=value" with NAME in any case: the value, when argument is one.
bool SwitchValue(const std::string& argument, const std::string& upperName, std::string& value) {
  const std::string prefix = "/" + upperName + "=";
  if (argument.size() < prefix.size() || AsciiUpperCase(argument.substr(0, prefix.size())) != prefix) return false;
  value = argument.substr(prefix.size());
  return true;
}

// Takes one argument into options; false when it is no switch the mode
// takes, names no value, or repeats one already given.
bool TakeSwitch(const std::string& argument, bool installMode, CommandLine& options) {
  std::string value;
  if (SwitchValue(argument, "LOG", value)) {
    if (value.empty() || !options.logFile.empty()) return false;
    options.logFile = value;
    return true;
  }
  if (!installMode) return false;
  if (SwitchValue(argument, "DIR", value)) {
    if (value.empty() || !options.directory.empty()) return false;
    options.directory = value;
    return true;
  }
  bool* flag = nullptr;
  const std::string upper = AsciiUpperCase(argument);
  if (upper == "/ALLUSERS") flag = &options.allUsers;
  if (upper == "/SUPPRESSMSGBOXES") flag = &options.suppressMsgBoxes;
  if (!flag || *flag) return false;
  *flag = true;
  return true;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (const char c : commandLine) {
    if (IsBlank(c) && !quoted) {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
      continue;
    }
    inArgument = true;
    if (c == '"') {
      quoted = !quoted;
    } else {
      current += c;
    }
  }
  if (inArgument) arguments.push_back(current);
  return arguments;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments, bool installMode) {
  CommandLine options;
  options.slashS = !arguments.empty() && AsciiLowerCase(arguments.front()) == "/s";
  if (!options.slashS) return options;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    // The uninstaller looked at its first argument alone, and what followed
    // never kept it from removing the product; it still does not.
    if (!TakeSwitch(arguments[i], installMode, options) && installMode) {
      options.rejected = arguments[i];
      break;
    }
  }
  return options;
}
