// The uninstaller's decisions on plain values: which directory may go, which
// registry names address one entry, and the self-removal script's lines.
#include "engine/program_group.h"
#include "uninstall/program_dir.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_entries.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const ProtectedFolders kGermanXp = {
    {"C:\\WINDOWS", "C:\\WINDOWS\\system32", "C:\\Programme", "C:\\Dokumente und Einstellungen\\Hans\\Desktop",
     "C:\\Dokumente und Einstellungen\\Hans\\Startmenü\\Programme", "C:\\DOKUME~1\\Hans\\Desktop"},
    {"C:\\Dokumente und Einstellungen"},
};

TEST(ProgramDir, OwnDirectoryUnlessProtected) {
  struct Case {
    const char* what;
    const char* file1;
    const char* ownDir;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"File1 in the own directory keeps its spelling", "c:\\programme\\demo\\demo.exe", "C:\\Programme\\Demo\\",
       "c:\\programme\\demo"},
      {"no File1", "", "C:\\Programme\\Demo\\", "C:\\Programme\\Demo"},
      {"File1 without a directory", "demo.exe", "C:\\Programme\\Demo\\", "C:\\Programme\\Demo"},
      {"File1 in the Windows directory", "c:\\windows\\demo.ini", "C:\\Programme\\Demo\\", "C:\\Programme\\Demo"},
      {"File1 in a subfolder", "c:\\programme\\demo\\bin\\demo.exe", "C:\\Programme\\Demo\\",
       "C:\\Programme\\Demo"},
      {"drive root", "c:\\demo.exe", "C:\\", ""},
      {"another drive's root", "", "D:\\", ""},
      {"share root", "", "\\\\server\\share\\", ""},
      {"folder on a share", "", "\\\\server\\share\\Demo\\", "\\\\server\\share\\Demo"},
      {"Windows directory", "c:\\windows\\demo.exe", "C:\\WINDOWS\\", ""},
      {"system directory", "", "c:\\windows\\system32\\", ""},
      {"a folder holding the desktop", "", "C:\\Dokumente und Einstellungen\\Hans\\", ""},
      {"the Start menu holding the Programs folder", "", "C:\\Dokumente und Einstellungen\\Hans\\Startmenü\\", ""},
      {"desktop by its short name", "", "C:\\DOKUME~1\\Hans\\Desktop\\", ""},
      {"profiles directory", "", "C:\\Dokumente und Einstellungen\\", ""},
      {"another account's profile", "", "C:\\Dokumente und Einstellungen\\All Users\\", ""},
      {"a folder inside a profile", "", "C:\\Dokumente und Einstellungen\\Hans\\Demo\\",
       "C:\\Dokumente und Einstellungen\\Hans\\Demo"},
      {"program-files folder", "", "C:\\Programme\\", ""},
      {"name that merely begins like a protected one", "", "C:\\Windows Tools\\", "C:\\Windows Tools"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ChooseProgramDir(c.file1, c.ownDir, kGermanXp), c.expected);
  }
}

TEST(ProgramDir, FolderComparisons) {
  EXPECT_TRUE(SameFolder("C:\\Programme\\Demo", "c:\\programme\\demo\\"));
  EXPECT_FALSE(SameFolder("C:\\Programme\\Demo", "C:\\Programme\\Demo2"));
  EXPECT_TRUE(IsInsideFolder("C:\\Programme\\Demo\\DEMO.EXE", "c:\\programme\\demo"));
  EXPECT_TRUE(IsInsideFolder("C:\\Programme\\Demo\\bin\\x.dll", "C:\\Programme\\Demo\\"));
  EXPECT_FALSE(IsInsideFolder("C:\\Programme\\Demo", "C:\\Programme\\Demo"));
  EXPECT_FALSE(IsInsideFolder("C:\\Programme\\Demo2\\x.exe", "C:\\Programme\\Demo"));
  EXPECT_FALSE(IsInsideFolder("C:\\x.exe", ""));  // no program directory: nothing is inside
}

TEST(UninstallEntry, NamesThatAddressOneEntry) {
  const std::vector<std::pair<const char*, bool>> cases = {
      {"Demo", true},       {"Demo Manager", true}, {"Firma\\Demo", true}, {"", false},
      {"\\", false},        {"Demo\\", false},      {"\\Demo", false},     {"Firma\\\\Demo", false},
  };
  for (const auto& [name, valid] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(IsUninstallEntryName(name), valid);
  }
}

TEST(ProgramGroup, NamesInsideTheProgramsFolder) {
  const std::vector<std::pair<const char*, bool>> cases = {
      {"Demo", true},  {"Firma\\Demo", true}, {"Demo..alt", true},        {".Demo", true},
      {"", false},     {"..", false},         {"Demo\\..\\..", false}, {"../Demo", false},
      {".", false},    {"...", false},        {". .", false},            {"\\", false},
  };
  for (const auto& [name, valid] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(IsGroupFolderName(name), valid);
  }
}

TEST(SelfRemovalScript, Lines) {
  EXPECT_EQ(SelfRemovalLines("D:\\Apps\\Tool\\Uninstal.exe", "D:\\Apps\\Tool", "C:\\TEMP\\$1A2B.bat"),
            (std::vector<std::string>{
                ":label1",
                "del \"D:\\Apps\\Tool\\Uninstal.exe\"",
                "if exist \"D:\\Apps\\Tool\\Uninstal.exe\" ping -n 2 127.0.0.1 >nul",
                "if exist \"D:\\Apps\\Tool\\Uninstal.exe\" goto label1",
                "rmdir \"D:\\Apps\\Tool\"",
                "del C:\\TEMP\\$1A2B.bat",
            }));
  // Blanks stay inside the quotes; a "%" would start a variable.
  EXPECT_EQ(SelfRemovalLines("C:\\Mein Tool 100%\\Uninstal.exe", "C:\\Mein Tool 100%", "C:\\T%\\$1.bat"),
            (std::vector<std::string>{
                ":label1",
                "del \"C:\\Mein Tool 100%%\\Uninstal.exe\"",
                "if exist \"C:\\Mein Tool 100%%\\Uninstal.exe\" ping -n 2 127.0.0.1 >nul",
                "if exist \"C:\\Mein Tool 100%%\\Uninstal.exe\" goto label1",
                "rmdir \"C:\\Mein Tool 100%%\"",
                "del C:\\T%%\\$1.bat",
            }));
}

}  // namespace
