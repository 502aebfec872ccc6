// The install run's files as plain values: order, directories, installed
// names, log numbers, the main program, kept sample files and refused names.
#include "engine/install_plan.h"

#include <gtest/gtest.h>

namespace {

// One line per file: number, source, installed path, and what happens.
std::vector<std::string> Lines(const InstallPlan& plan) {
  std::vector<std::string> lines;
  for (const PlannedFile& f : plan.files) {
    std::string line = std::to_string(f.logNumber) + " " + f.sourceName + " > " + f.InstalledPath();
    if (f.step == PlannedFile::Step::KeepSample) line += " kept";
    if (f.step == PlannedFile::Step::Refuse) line += " refused";
    if (f.mainProgram) line += " main";
    lines.push_back(line);
  }
  return lines;
}

TEST(PlanInstall, OrderNumbersDirectoriesAndNames) {
  const InstallList sample = {{"DEMO.EX_", "Beispiel.hd_", "DEMO.HL_", "Liesmich.txt"},
                              {"DEMO.INI"},
                              {{"Windows 95", "OLD.DL_"}, {"windows xp", "A.DLL;b.dl_;"}}};
  const struct {
    const char* name;
    InstallList list;
    const char* version;
    bool sampleExists;
    std::vector<std::string> lines;
    const char* mainProgFile;
  } cases[] = {
      {"fresh install on XP: version key in any case, trailing ';' adds nothing", sample, "Windows XP", false,
       {"1 DEMO.EX_ > C:\\P\\DEMO.EXE main", "2 Beispiel.hd_ > C:\\P\\Beispiel.HDB", "3 DEMO.HL_ > C:\\P\\DEMO.HLP",
        "4 Liesmich.txt > C:\\P\\Liesmich.txt", "5 DEMO.INI > C:\\WIN\\DEMO.INI", "6 A.DLL > C:\\P\\A.DLL",
        "7 b.dl_ > C:\\P\\b.DLL", "8 Setup.exe > C:\\P\\Uninstal.exe"},
       "C:\\P\\DEMO.EXE"},
      {"sample database kept: its number stays a gap; no version files on 2000", sample, "Windows 2000", true,
       {"1 DEMO.EX_ > C:\\P\\DEMO.EXE main", "2 Beispiel.hd_ > C:\\P\\Beispiel.HDB kept",
        "3 DEMO.HL_ > C:\\P\\DEMO.HLP", "4 Liesmich.txt > C:\\P\\Liesmich.txt", "5 DEMO.INI > C:\\WIN\\DEMO.INI",
        "6 Setup.exe > C:\\P\\Uninstal.exe"},
       "C:\\P\\DEMO.EXE"},
      {"no program files: no main program, the uninstaller is File1", {{}, {}, {}}, "Windows XP", false,
       {"1 Setup.exe > C:\\P\\Uninstal.exe"}, ""},
      {"a first entry that is kept is still the main program",
       {{"beispiel.exe", "X.TXT"}, {}, {}}, "Windows 98", true,
       {"1 beispiel.exe > C:\\P\\beispiel.exe kept main", "2 X.TXT > C:\\P\\X.TXT",
        "3 Setup.exe > C:\\P\\Uninstal.exe"},
       "C:\\P\\beispiel.exe"},
      {"a sample database placed by the run keeps the later sample files",
       {{"A.EX_", "beispiel.hd_", "Beispiel.txt", "sub\\beispiel.hdb"}, {}, {}}, "Windows 98", false,
       {"1 A.EX_ > C:\\P\\A.EXE main", "2 beispiel.hd_ > C:\\P\\beispiel.HDB", "3 Beispiel.txt > C:\\P\\Beispiel.txt kept",
        "4 sub\\beispiel.hdb > C:\\P\\sub\\beispiel.hdb kept", "5 Setup.exe > C:\\P\\Uninstal.exe"},
       "C:\\P\\A.EXE"},
      {"names leaving their directory are refused, in every list, and keep their numbers",
       {{"..\\Main.ex_", "ok.txt"}, {"C:\\x.dll"}, {{"Windows XP", "\\\\srv\\s\\y.dll;sub\\z.dll"}}}, "Windows XP",
       false,
       {"1 ..\\Main.ex_ > C:\\P\\..\\Main.EXE refused main", "2 ok.txt > C:\\P\\ok.txt",
        "3 C:\\x.dll > C:\\WIN\\C:\\x.dll refused", "4 \\\\srv\\s\\y.dll > C:\\P\\\\\\srv\\s\\y.dll refused",
        "5 sub\\z.dll > C:\\P\\sub\\z.dll", "6 Setup.exe > C:\\P\\Uninstal.exe"},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const InstallPlan plan = PlanInstall(c.list, "C:\\P", "C:\\WIN\\", c.version, c.sampleExists);
    EXPECT_EQ(Lines(plan), c.lines);
    EXPECT_EQ(plan.mainProgFile, c.mainProgFile);
  }
}

TEST(LeavesDestination, OnlyNamesThatStayInside) {
  const struct {
    const char* name;
    bool leaves;
  } cases[] = {
      {"DEMO.EX_", false},
      {"vorlagen\\BRIEF.DO_", false},
      {"a/b.txt", false},
      {"..dat", false},
      {"name..", false},
      {"a\\\\b.txt", true},  // neither the copy step nor the uninstaller takes it for a file inside
      {"", false},
      {"..\\Shared.dll", true},
      {"a\\..\\..\\x.dll", true},
      {"a/../x.dll", true},
      {"sub\\..", true},
      {"...\\x", true},
      {". .\\x", true},
      {".\\x", true},
      {"C:\\Windows\\x.dll", true},
      {"C:x.dll", true},
      {"\\x.dll", true},
      {"/x.dll", true},
      {"\\\\server\\share\\x.dll", true},
      {"x.txt:stream", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LeavesDestination(c.name), c.leaves);
  }
}

}  // namespace
