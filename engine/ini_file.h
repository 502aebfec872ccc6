// Writing INI files through the system's profile functions, with the
// program's error for a write the system refuses. The error is meant to leave
// the event handler and reach the default error box.
#pragma once

#include <stdexcept>
#include <string>

class EIniFileException : public std::runtime_error {
public:
  explicit EIniFileException(const std::string& file)
      : std::runtime_error("nach " + file + " kann nicht geschrieben werden") {}
};

// Replaces the key's value in place, or adds the key at the end of its section
// and the section at the end of the file; creates the file. Raises
// EIniFileException with the file's path when the system refuses.
void WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);

// Hands what the system may still cache of the file to the disk (Windows 9x
// keeps profile writes in memory), so the file is complete even if the
// process ends without clean-up right after.
void FlushIniFile(const std::string& file);
