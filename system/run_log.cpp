#include "system/run_log.h"

std::string RunLogEntry(const std::string& time, const std::string& text) {
  std::string entry = time + "  ";
  const std::string indent(time.size() + 2, ' ');
  bool lineOpen = true;  // the first line stands after the time
  bool lineEmpty = true;
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      if (!lineEmpty) {
        entry += "\r\n";
        lineOpen = false;
        lineEmpty = true;
      }
      continue;
    }
    if (!lineOpen) {
      entry += indent;
      lineOpen = true;
    }
    entry += c;
    lineEmpty = false;
  }
  if (lineOpen) entry += "\r\n";
  return entry;
}

std::string RunLogMessage(const std::string& text, const std::string& answer) {
  return (answer.empty() ? "Meldung: " : "Meldung ohne Fenster, Antwort \"" + answer + "\": ") + text;
}
