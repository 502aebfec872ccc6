// The setup list read through the real profile functions, against files
// written byte by byte.
#include "startup/setup_list.h"
#include "tests/support/test_files.h"

namespace {

std::string ListFile(const std::string& content) {
  static const kvtest::TempDir folder;  // for the whole test program
  const std::string path = folder.Path() + "Setup.lst";
  kvtest::WriteBytes(path, content);
  return path;
}

TEST(SetupListString, MissingPresentEmptyCaseAndCodePage) {
  // "Müller" in code page 1252: ü is 0xFC.
  const std::string file = ListFile(
      "[General]\r\nName=Demo Manager\r\ndefaultPath=\r\nTitle=M\xFCller & S\xF6hne\r\n"
      "[StartMenu]\r\nFolder=\r\n");
  struct Case {
    const char* section;
    const char* key;
    const char* def;
    std::string expected;
  } cases[] = {
      {"General", "Name", "Programm", "Demo Manager"},
      {"general", "NAME", "Programm", "Demo Manager"},
      {"General", "defaultPath", "C:\\App", ""},
      {"General", "Missing", "C:\\App", "C:\\App"},
      {"Nowhere", "Name", "Programm", "Programm"},
      {"StartMenu", "Folder", "Unbenannt", ""},
      {"General", "Title", "", "M\xFCller & S\xF6hne"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(ReadListString(file, c.section, c.key, c.def), c.expected);
  }
}

TEST(SetupListString, ValueIsCutAt2047Characters) {
  const std::string value(3000, 'x');
  const std::string file = ListFile("[General]\r\nName=" + value + "\r\n");
  EXPECT_EQ(ReadListString(file, "General", "Name", ""), value.substr(0, 2047));
}

TEST(SetupListBool, IntegersDecimalAndHexadecimal) {
  struct Case {
    const char* line;  // "" for a missing key
    bool def;
    bool expected;
  } cases[] = {
      {"MobileOption=1", false, true},        {"MobileOption=0", true, false},
      {"MobileOption=-1", false, true},       {"MobileOption=0x1", false, true},
      {"MobileOption=0X10", false, true},     {"MobileOption=0x0", true, false},
      {"MobileOption=$A", false, true},       {"MobileOption=$0", true, false},
      {"MobileOption=yes", false, false},     {"MobileOption=yes", true, true},
      {"MobileOption=1x", false, false},      {"MobileOption=0x", true, true},
      {"MobileOption=", true, true},          {"MobileOption=", false, false},
      {"", true, true},                       {"", false, false},
      {"MobileOption=00", true, false},       {"MobileOption=+7", false, true},
      {"MobileOption=$FFFFFFFF", false, true}, {"MobileOption=99999999999", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line) + (c.def ? " default true" : " default false"));
    const std::string file = ListFile(std::string("[General]\r\n") + c.line + "\r\n");
    EXPECT_EQ(ReadListBool(file, "General", "MobileOption", c.def), c.expected);
  }
}

TEST(SetupListSection, PairsInFileOrderWithoutEmptyValues) {
  const std::string file = ListFile(
      "[Items]\r\nDEMO.EXE=Demo Manager\r\nLEER.EXE=\r\nUninstal.exe=Programm entfernen\r\n"
      "HILFE.HLP=Hilfe f\xFCr Demo\r\n[Other]\r\nX=1\r\n");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"DEMO.EXE", "Demo Manager"},
      {"Uninstal.exe", "Programm entfernen"},
      {"HILFE.HLP", "Hilfe f\xFCr Demo"},
  };
  EXPECT_EQ(ReadListSection(file, "items"), expected);
  EXPECT_TRUE(ReadListSection(file, "Missing").empty());
}

TEST(SetupListNumbered, CountsNonEmptyPairsAndFetchesByNumber) {
  struct Case {
    const char* name;
    const char* section;
    std::vector<std::string> expected;
  } cases[] = {
      {"in order", "[programfiles]\r\n1=DEMO.EX_\r\n2=beispiel.hd_\r\n", {"DEMO.EX_", "beispiel.hd_"}},
      {"file order ignored", "[programfiles]\r\n2=B\r\n1=A\r\n", {"A", "B"}},
      {"gap: 3 is empty, 4 never read", "[programfiles]\r\n1=A\r\n2=B\r\n4=D\r\n", {"A", "B", ""}},
      {"empty value not counted", "[programfiles]\r\n1=A\r\n2=\r\n3=C\r\n", {"A", ""}},
      {"no section", "[Windows]\r\n1=A\r\n", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadNumberedList(ListFile(c.section), "programfiles"), c.expected);
  }
}

TEST(SetupListFileList, SystemDependedNames) {
  const std::string file = ListFile(
      "[SystemDepended]\r\nWindows XP=a.dll;b.dll;\r\nWindows 95=OLDHELP.DL_\r\n");
  struct Case {
    const char* version;
    std::vector<std::string> expected;
  } cases[] = {
      {"Windows XP", {"a.dll", "b.dll"}},
      {"Windows 95", {"OLDHELP.DL_"}},
      {"Windows Vista", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(SplitFileList(ReadListString(file, "SystemDepended", c.version, "")), c.expected);
  }
}

}  // namespace
