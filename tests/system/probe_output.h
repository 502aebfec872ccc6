// Reads the "name=value" lines of the system probe.
#pragma once

#include "tests/support/wine_support.h"
#include "system/helpers.h"

#include <map>
#include <sstream>
#include <string>

inline std::map<std::string, std::string> ParseProbe(const std::string& output) {
  std::map<std::string, std::string> facts;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto eq = line.find('=');
    if (eq != std::string::npos) facts[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return facts;
}

inline std::string ProbePath() { return GetAppDir() + "system_probe.exe"; }
