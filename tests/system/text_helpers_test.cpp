// Text, path and list helpers on Windows-style paths. Runs natively and under Wine.
#include "system/helpers.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

TEST(Backslash, AddAndRemove) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      // input, AddBackslash, RemoveBackslash
      {"", "", ""},
      {"C:", "C:\\", "C:"},
      {"C:\\", "C:\\", "C:"},
      {"C:\\Temp", "C:\\Temp\\", "C:\\Temp"},
      {"C:\\Temp\\", "C:\\Temp\\", "C:\\Temp"},
      {"C:\\Temp\\\\", "C:\\Temp\\\\", "C:\\Temp\\"},  // only one is removed
      {"\\", "\\", ""},
  };
  for (const auto& [input, added, removed] : cases) {
    SCOPED_TRACE(input);
    EXPECT_EQ(AddBackslash(input), added);
    EXPECT_EQ(RemoveBackslash(input), removed);
  }
}

TEST(ReplaceAll, Cases) {
  struct Case {
    std::string source, find, replacement;
    bool caseSensitive;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"%SystemDrive%\\Profiles", "%SystemDrive%", "D:", true, "D:\\Profiles"},
      {"%systemdrive%\\Profiles", "%SystemDrive%", "D:", true, "%systemdrive%\\Profiles"},
      {"%systemdrive%\\Profiles", "%SystemDrive%", "D:", false, "D:\\Profiles"},
      {"aaa", "a", "aa", true, "aaaaaa"},  // inserted text is not searched again
      {"abc", "", "x", true, "abc"},       // an empty find never matches
      {"", "a", "b", true, ""},
      {"x;y;x", "x", "", true, ";y;"},
      // ANSI upper-casing covers umlauts (code page 1252: "Größe GRÖSSE größe", find "GRÖßE")
      {"Gr\xF6\xDF" "e GR\xD6SSE gr\xF6\xDF" "e", "GR\xD6\xDF" "E", "S", false, "S GR\xD6SSE S"},
      {"abab", "ab", "ba", true, "baba"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source + " / " + c.find + " -> " + c.replacement);
    EXPECT_EQ(ReplaceAll(c.source, c.find, c.replacement, c.caseSensitive), c.expected);
  }
}

TEST(SeparatedList, CountAndFields) {
  struct Case {
    std::string text;
    int count;
    std::vector<std::string> fields;  // fields 1..count+1; the last is beyond the list
  };
  const std::vector<Case> cases = {
      {"", 0, {""}},
      {"a", 1, {"a", ""}},
      {";", 1, {"", ""}},
      {"a;b", 2, {"a", "b", ""}},
      {"a;b;", 2, {"a", "b", ""}},
      {"x;y;z", 3, {"x", "y", "z", ""}},
      {"x;;z", 3, {"x", "", "z", ""}},
      {"x;", 1, {"x", ""}},
      {";;", 2, {"", "", ""}},
      {"a.dll;b.dll;", 2, {"a.dll", "b.dll", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"");
    EXPECT_EQ(CountFields(';', c.text), c.count);
    for (size_t n = 0; n < c.fields.size(); ++n) {
      SCOPED_TRACE(n + 1);
      EXPECT_EQ(GetField(';', c.text, static_cast<int>(n + 1)), c.fields[n]);
    }
    EXPECT_EQ(GetField(';', c.text, 0), "");
    EXPECT_EQ(GetField(';', c.text, -1), "");
  }
}

TEST(PathPieces, WindowsStyle) {
  struct Case {
    std::string path, dir, name, ext;
  };
  const std::vector<Case> cases = {
      {"D:\\SETUP\\SETUP.EXE", "D:\\SETUP\\", "SETUP.EXE", ".EXE"},
      {"D:\\SETUP.EXE", "D:\\", "SETUP.EXE", ".EXE"},
      {"D:SETUP.EXE", "", "SETUP.EXE", ".EXE"},  // a drive is no directory part
      {"D:", "", "", ""},
      {"C:\\Progs\\D:App.exe", "C:\\Progs\\", "App.exe", ".exe"},
      {"C:\\A.B:C", "C:\\", "C", ""},
      {"ARCHIVE.TAR.EX_", "", "ARCHIVE.TAR.EX_", ".EX_"},
      {"SUB.DIR\\README", "SUB.DIR\\", "README", ""},  // the only dot precedes a backslash
      {"README", "", "README", ""},
      {"C:\\Progs\\App\\", "C:\\Progs\\App\\", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ExtractFilePath(c.path), c.dir);
    EXPECT_EQ(ExtractFileName(c.path), c.name);
    EXPECT_EQ(ExtractFileExt(c.path), c.ext);
  }
  EXPECT_EQ(ChangeFileExt("D:\\SETUP\\SETUP.EXE", ".INI"), "D:\\SETUP\\SETUP.INI");
  EXPECT_EQ(ChangeFileExt("D:\\SETUP.D\\SETUP", ".INI"), "D:\\SETUP.D\\SETUP.INI");
}

TEST(AnsiUpperCase, Cp1252Letters) {
  EXPECT_EQ(AnsiUpperCase("abc xyz 123"), "ABC XYZ 123");
  EXPECT_EQ(AnsiUpperCase("\xE4\xF6\xFC\xE9"), "\xC4\xD6\xDC\xC9");  // äöüé
  EXPECT_EQ(AnsiUpperCase("\xF7"), "\xF7");                          // the division sign has no capital
}

}  // namespace
