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

// The key names of a section, or a key's value, as one reader gives them.
std::string Answer(const ProfileReader& list, const char* section, const char* key) {
  std::vector<char> buffer(4096);
  return std::string(buffer.data(), list(section, key, "DEF", buffer.data(), buffer.size()));
}

// The native tools read lists through ProfileOfText; here both readers read
// the same odd lists, and every section's key names and every key's value
// must be the same.
TEST(ProfileOfText, ReadsOddListsAsTheProfileFunctionsDo) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    std::string text;
  } lists[] = {
      {"zero bytes", "[Gen\0x]\r\nName=De\0mo\r\nPath=\"x\0y\"\r\nNa\0me=Demo\r\n"s},
      {"blanks", "\f[General]\r\n\vName=Demo\v\r\n\fPath\f=\f C:\\x\f\r\n\x1a\r\n\x1a A\x1a=\x1a" "1\x1a\r\n"
                 "  B  =  b c  \r\n\tC\t=\t\xA0" "c\xA0\r\n"},
      {"headers", "[General]\r\nName=A\r\n[Items\r\nX=1\r\n[Items=2\r\n[Gen]eral]\r\nName=B\r\n[Items]x]y\r\nX=3\r\n"
                  "[ programfiles ]\r\n1=a\r\n[a=b]\r\nName=C\r\n"},
      {"keys without \"=\"", "[General]\r\nName\r\nName=B\r\nPath\r\n[Items]\r\nX\r\nY=1\r\n"},
      {"a UTF-8 byte-order mark", "\xEF\xBB\xBF[programfiles]\r\n1=a.txt\r\n[General]\r\nName=F\xC3\xBCr\r\n"},
      {"a byte-order mark inside", "[General]\r\n\xEF\xBB\xBFName=A\r\n"},
      {"line ends of CR only", "[General]\rName=A\rPath=B\r"},
      {"mixed line ends", "[General]\nName=A\rPath=B\nX=1"},
      {"quotes", "[General]\r\nA=\"x\"\r\nB='y'\r\nC=\"z'\r\nD=\"\r\nE=\"\"\r\nF= \" q \" \r\nG=a\"b\"\r\n"},
      {"comments", "[General]\r\n;Name=A\r\nName=B\r\n#X=1\r\n ;Y=2\r\n[;Items]\r\nZ=3\r\n"},
      {"an empty key name", "[General]\r\n=A\r\n = B\r\nName=C\r\n"},
      {"twice", "[General]\r\nName=A\r\nname=B\r\n[general]\r\nName=C\r\nPath=D\r\n"},
      {"no header", "Name=A\r\n[General]\r\nPath=B\r\n[]\r\nName=C\r\n"},
      {"code page 1252, empty values",
       "[General]\r\nName=M\xFCller\r\n[\xC4nderung]\r\n\xDF=1\r\n[Items]\r\nA=\r\nB=b\r\n"},
  };
  const char* const sections[] = {"General", " General ", "Items", "programfiles", "Gen]eral", "Gen",
                                  "Items]x", "[Items", "a=b", "", ";Items", "\xC4nderung"};
  const char* const keys[] = {"Name", " Name\t", "Na", "Path", "A", "B", "C", "D", "E", "F",
                              "G", "X", "Y", "Z", "1", "", "#X", "[Items", "\xDF"};
  const kvtest::TempDir folder;
  for (const auto& l : lists) {
    SCOPED_TRACE(l.name);
    const std::string path = folder / ("list" + std::to_string(&l - lists) + ".lst");
    kvtest::WriteBytes(path, l.text);
    const ProfileReader system = ProfileOf(path);
    const ProfileReader text = ProfileOfText(l.text);
    for (const char* section : sections) {
      SCOPED_TRACE(std::string("[") + section + "]");
      EXPECT_EQ(Answer(text, section, nullptr), Answer(system, section, nullptr));
      for (const char* key : keys) {
        SCOPED_TRACE(std::string("key \"") + key + "\"");
        EXPECT_EQ(Answer(text, section, key), Answer(system, section, key));
      }
    }
  }
}

}  // namespace
