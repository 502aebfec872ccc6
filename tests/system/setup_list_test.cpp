// The setup list read through the real profile functions, against files
// written byte by byte: what the system contributes (letter case, code page,
// the 2047-character value, key order, sections of any length) and what the
// program's reading makes of it.
#include "system/setup_list.h"
#include "tests/support/test_files.h"

namespace {

ProfileReader ListFile(const std::string& content) {
  static const kvtest::TempDir folder;  // for the whole test program
  const std::string path = folder.Path() + "Setup.lst";
  kvtest::WriteBytes(path, content);
  return ProfileOf(path);
}

TEST(SetupListString, MissingPresentEmptyCaseAndCodePage) {
  // "Müller" in code page 1252: ü is 0xFC.
  const ProfileReader list = ListFile(
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
    EXPECT_EQ(ReadListString(list, c.section, c.key, c.def), c.expected);
  }
}

TEST(SetupListString, ValueIsCutAt2047Characters) {
  const std::string value(3000, 'x');
  EXPECT_EQ(ReadListString(ListFile("[General]\r\nName=" + value + "\r\n"), "General", "Name", ""),
            value.substr(0, 2047));
}

TEST(SetupListBool, ReadAsText) {
  const ProfileReader list = ListFile("[General]\r\nMobileOption=0x1\r\nOnlyMobile=yes\r\n");
  EXPECT_TRUE(ReadListBool(list, "general", "mobileoption", false));
  EXPECT_TRUE(ReadListBool(list, "General", "OnlyMobile", true));
  EXPECT_FALSE(ReadListBool(list, "General", "OnlyMobile", false));
}

TEST(SetupListSection, PairsInFileOrderWithoutEmptyValues) {
  const ProfileReader list = ListFile(
      "[Items]\r\nDEMO.EXE=Demo Manager\r\nLEER.EXE=\r\nUninstal.exe=Programm entfernen\r\n"
      "HILFE.HLP=Hilfe f\xFCr Demo\r\n[Other]\r\nX=1\r\n");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"DEMO.EXE", "Demo Manager"},
      {"Uninstal.exe", "Programm entfernen"},
      {"HILFE.HLP", "Hilfe f\xFCr Demo"},
  };
  EXPECT_EQ(ReadListSection(list, "items"), expected);
  EXPECT_TRUE(ReadListSection(list, "Missing").empty());
}

TEST(SetupListNumbered, TenThousandFilesAreAllListed) {
  // The key names of [programfiles] fill 48,894 bytes, three times the first
  // buffer; files listed in a different order than numbered.
  std::string content = "[General]\r\nName=Demo\r\n[programfiles]\r\n";
  for (int n = 10000; n >= 1; --n) content += std::to_string(n) + "=FILE" + std::to_string(n) + ".DA_\r\n";
  content += "[Items]\r\nDEMO.EXE=Demo\r\n";
  const std::vector<std::string> files = ReadNumberedList(ListFile(content), "programfiles");
  ASSERT_EQ(files.size(), 10000u);
  EXPECT_EQ(files[0], "FILE1.DA_");
  EXPECT_EQ(files[3497], "FILE3498.DA_");
  EXPECT_EQ(files[9999], "FILE10000.DA_");
}

TEST(SetupListNumbered, GapInTheNumbers) {
  EXPECT_EQ(ReadNumberedList(ListFile("[programfiles]\r\n2=B\r\n1=A\r\n4=D\r\n"), "ProgramFiles"),
            (std::vector<std::string>{"A", "B", ""}));
}

TEST(SetupListFileList, SystemDependedNames) {
  const ProfileReader list = ListFile("[SystemDepended]\r\nWindows XP=a.dll;b.dll;\r\nWindows 95=OLDHELP.DL_\r\n");
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
    EXPECT_EQ(SplitFileList(ReadListString(list, "SystemDepended", c.version, "")), c.expected);
  }
}

}  // namespace
