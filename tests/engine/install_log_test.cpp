// The install log's names and the values one file writes, apart from the disk.
#include "engine/install_log.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(InstallLogPath, WholePathUpperCasedAsciiOnly) {
  const struct {
    const char* installPath;
    const char* log;
  } cases[] = {
      {"C:\\Programme\\Demo", "C:\\PROGRAMME\\DEMO\\INSTALL1.LOG"},
      {"c:\\programme\\demo\\", "C:\\PROGRAMME\\DEMO\\INSTALL1.LOG"},
      {"D:\\Bücher\\Ärger", "D:\\BüCHER\\ÄRGER\\INSTALL1.LOG"},
      {"", "INSTALL1.LOG"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.installPath);
    EXPECT_EQ(InstallLogPath(c.installPath), c.log);
  }
}

TEST(InstallLogEntry, NameOnlyWhenGivenThenFileGroupAndFolder) {
  using Value = std::tuple<std::string, std::string, std::string>;
  const struct {
    const char* progName;
    int number;
    std::vector<Value> values;
  } cases[] = {
      {"Demo", 1,
       {{"General", "Name", "Demo"},
        {"InstalledFiles", "File1", "c:\\kv\\demo.exe"},
        {"Group", "Name", "Gruppe"},
        {"StartMenu", "Folder", "Ordner"}}},
      {"", 12,
       {{"InstalledFiles", "File12", "c:\\kv\\demo.exe"}, {"Group", "Name", "Gruppe"}, {"StartMenu", "Folder", "Ordner"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    std::vector<Value> got;
    for (const IniValue& v : InstallLogEntry(c.number, "c:\\kv\\demo.exe", c.progName, "Gruppe", "Ordner"))
      got.emplace_back(v.section, v.key, v.value);
    EXPECT_EQ(got, c.values);
  }
}

// What a profile write left on the disk: the whole file, one cut short by a
// full disk, an empty one, and lines that only resemble the value.
TEST(InstallLogOnDisk, EveryValueWrittenStandsOnItsOwnLine) {
  const std::string whole =
      "[General]\r\nName=Demo\r\n[InstalledFiles]\r\nfile1=c:\\kv\\demo.exe\r\nFile11=c:\\kv\\b.dll\r\n"
      "[Group]\r\nName=Gruppe\r\n[StartMenu]\r\nFolder=Ordner\r\n";
  const std::vector<IniValue> entry = {{"InstalledFiles", "File11", "c:\\kv\\b.dll"},
                                       {"Group", "Name", "Gruppe"},
                                       {"StartMenu", "Folder", "Ordner"}};
  const struct {
    const char* name;
    std::string text;
    std::vector<IniValue> values;
    bool holds;
  } cases[] = {
      {"whole file", whole, entry, true},
      {"key in another letter case", whole, {{"InstalledFiles", "File1", "c:\\kv\\demo.exe"}}, true},
      {"cut within the last value", whole.substr(0, whole.size() - 4), entry, false},
      {"cut before the last section", whole.substr(0, whole.find("[StartMenu]")), entry, false},
      {"empty file", "", entry, false},
      {"a longer key with the same value", whole, {{"InstalledFiles", "File1", "c:\\kv\\b.dll"}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ProfileTextHolds(c.text, c.values), c.holds);
  }
}

}  // namespace
