#include "engine/ini_file.h"

#include "system/win.h"

void WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) {
  if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()))
    throw EIniFileException(file);
}

void FlushIniFile(const std::string& file) { ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str()); }
