// The install run's files as plain values: order, directories, installed
// names, log numbers, the main program, sample files and refused names; and
// what the run does with each when its turn comes.
#include "engine/install_plan.h"

#include "tests/support/print_enums.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>

namespace {

// One line per file: number, source, installed path, and what happens.
std::vector<std::string> Lines(const InstallPlan& plan) {
  std::vector<std::string> lines;
  for (const PlannedFile& f : plan.files) {
    std::string line = std::to_string(f.logNumber) + " " + f.sourceName + " > " + f.InstalledPath();
    if (f.sample) line += " sample";
    if (f.step == PlannedFile::Step::Refuse) line += " refused";
    if (f.mainProgram) line += " main";
    if (f.shared) line += " shared";
    lines.push_back(line);
  }
  return lines;
}

TEST(PlanInstall, OrderNumbersDirectoriesAndNames) {
  const InstallList sample = {{"DEMO.EX_", "Beispiel.hd_", "DEMO.HL_", "Liesmich.txt"},
                              {"DEMO.INI"},
                              {{"Windows 95", "OLD.DL_"}, {"windows xp", "A.DLL;b.dl_;"}, {"Windows XP", "TWICE.DLL"}}};
  const struct {
    const char* name;
    InstallList list;
    const char* version;
    std::vector<std::string> lines;
    const char* mainProgFile;
  } cases[] = {
      {"on XP: version key in any case, the first of two, trailing ';' adds nothing", sample, "Windows XP",
       {"1 DEMO.EX_ > C:\\P\\DEMO.EXE main", "2 Beispiel.hd_ > C:\\P\\Beispiel.HDB sample",
        "3 DEMO.HL_ > C:\\P\\DEMO.HLP",
        "4 Liesmich.txt > C:\\P\\Liesmich.txt", "5 DEMO.INI > C:\\WIN\\DEMO.INI shared", "6 A.DLL > C:\\P\\A.DLL",
        "7 b.dl_ > C:\\P\\b.DLL", "8 Setup.exe > C:\\P\\Uninstal.exe"},
       "C:\\P\\DEMO.EXE"},
      {"no version files on 2000", sample, "Windows 2000",
       {"1 DEMO.EX_ > C:\\P\\DEMO.EXE main", "2 Beispiel.hd_ > C:\\P\\Beispiel.HDB sample",
        "3 DEMO.HL_ > C:\\P\\DEMO.HLP", "4 Liesmich.txt > C:\\P\\Liesmich.txt", "5 DEMO.INI > C:\\WIN\\DEMO.INI shared",
        "6 Setup.exe > C:\\P\\Uninstal.exe"},
       "C:\\P\\DEMO.EXE"},
      {"no program files: no main program, the uninstaller is File1", {{}, {}, {}}, "Windows XP",
       {"1 Setup.exe > C:\\P\\Uninstal.exe"}, ""},
      {"a first entry that is a sample file is still the main program",
       {{"beispiel.exe", "X.TXT"}, {}, {}}, "Windows 98",
       {"1 beispiel.exe > C:\\P\\beispiel.exe sample main", "2 X.TXT > C:\\P\\X.TXT",
        "3 Setup.exe > C:\\P\\Uninstal.exe"},
       "C:\\P\\beispiel.exe"},
      {"sample files only in [programfiles]",
       {{"A.EX_", "Beispiel.txt", "sub\\beispiel.hdb"}, {"beispiel.dll"}, {{"Windows 98", "beispiel.x"}}}, "Windows 98",
       {"1 A.EX_ > C:\\P\\A.EXE main", "2 Beispiel.txt > C:\\P\\Beispiel.txt sample",
        "3 sub\\beispiel.hdb > C:\\P\\sub\\beispiel.hdb sample", "4 beispiel.dll > C:\\WIN\\beispiel.dll shared",
        "5 beispiel.x > C:\\P\\beispiel.x", "6 Setup.exe > C:\\P\\Uninstal.exe"},
       "C:\\P\\A.EXE"},
      {"names leaving their directory are refused, in every list, and keep their numbers",
       {{"..\\Main.ex_", "ok.txt"}, {"C:\\x.dll"}, {{"Windows XP", "\\\\srv\\s\\y.dll;sub\\z.dll"}}}, "Windows XP",
       {"1 ..\\Main.ex_ > C:\\P\\..\\Main.EXE refused main", "2 ok.txt > C:\\P\\ok.txt",
        "3 C:\\x.dll > C:\\WIN\\C:\\x.dll refused shared", "4 \\\\srv\\s\\y.dll > C:\\P\\\\\\srv\\s\\y.dll refused",
        "5 sub\\z.dll > C:\\P\\sub\\z.dll", "6 Setup.exe > C:\\P\\Uninstal.exe"},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const InstallPlan plan = PlanInstall(c.list, "C:\\P", "C:\\WIN\\", c.version);
    EXPECT_EQ(Lines(plan), c.lines);
    EXPECT_EQ(plan.mainProgFile, c.mainProgFile);
  }
}

// An install directory in the Windows directory shares it: all but the
// uninstaller go by their counts there.
TEST(PlanInstall, SharedWhereverTheWindowsDirectoryHoldsIt) {
  EXPECT_EQ(Lines(PlanInstall({{"DEMO.EXE"}, {}, {{"Windows XP", "A.DLL"}}}, "c:\\win\\Demo", "C:\\WIN", "Windows XP")),
            (std::vector<std::string>{"1 DEMO.EXE > c:\\win\\Demo\\DEMO.EXE main shared",
                                      "2 A.DLL > c:\\win\\Demo\\A.DLL shared", "3 Setup.exe > c:\\win\\Demo\\Uninstal.exe"}));
}

// The sample database as the disk holds it when the file's turn comes; a
// refused name is refused (and so reported) whatever else holds.
TEST(TurnOf, RefusedFirstThenTheSampleRule) {
  const InstallPlan plan =
      PlanInstall({{"DEMO.EX_", "Beispiel.hd_", "..\\Beispiel.hd_", "LIESMICH.TXT"}, {}, {}}, "C:\\P", "C:\\WIN", "");
  const struct {
    std::size_t file;
    bool sampleDatabaseExists;
    FileTurn turn;
  } cases[] = {
      {0, false, FileTurn::Place},       {0, true, FileTurn::Place},       {1, false, FileTurn::Place},
      {1, true, FileTurn::KeepSample},   {2, false, FileTurn::Refuse},     {2, true, FileTurn::Refuse},
      {3, true, FileTurn::Place},        {4, true, FileTurn::Place},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(plan.files[c.file].sourceName + (c.sampleDatabaseExists ? " with" : " without") + " the database");
    EXPECT_EQ(TurnOf(plan.files[c.file], c.sampleDatabaseExists), c.turn);
  }
}

// Paths at the platform's limits, the medium's checksums found as Windows
// finds files, and a checksum line that is no such line.
TEST(PlanInstall, PathLimitsAndChecksums) {
  const std::string dir = "C:\\" + std::string(244, 'p');  // 247 characters, the longest folder
  InstallList list{{"DEMO.EX_", "ABCDEFG.TXT", "ABCDEFGH.TXT", "s\\A.TXT"}, {"DEMO.INI"}, {}};
  list.checksums = {{"demo.ex_", 0x11u}, {"abcdefg.txt", 0x22u}, {"DEMO.EX_", 0x33u}, {"S/a.txt", 0x44u}};
  const InstallPlan plan = PlanInstall(list, dir, "C:\\WIN", "");
  const struct {
    const char* step;
    std::optional<std::uint32_t> checksum;
  } expected[] = {
      {"place", 0x11u},            // 256 characters; the first line for a name counts
      {"place", 0x22u},            // exactly 259
      {"too long", std::nullopt},  // 260
      {"too long", 0x44u},         // its folder 249
      {"place", std::nullopt},     // in the Windows directory
      {"too long", std::nullopt},  // the uninstaller, 260
  };
  ASSERT_EQ(plan.files.size(), std::size(expected));
  for (std::size_t i = 0; i < plan.files.size(); ++i) {
    SCOPED_TRACE(plan.files[i].sourceName);
    EXPECT_EQ(plan.files[i].step == PlannedFile::Step::Place ? "place" : "too long", std::string(expected[i].step));
    EXPECT_EQ(plan.files[i].checksum, expected[i].checksum);
  }
  EXPECT_EQ(TurnOf(plan.files[2], false), FileTurn::Refuse);
  for (const char* value : {"1234567 A.TXT", "1234567G A.TXT", "12345678A.TXT", "12345678 "})
    EXPECT_FALSE(ParseChecksumValue(value)) << value;
  EXPECT_EQ(ParseChecksumValue("00ABCdef Ordner\\Mit Blank.TXT")->crc, 0x00ABCDEFu);
  EXPECT_EQ(ParseChecksumValue("00ABCdef Ordner\\Mit Blank.TXT")->name, "Ordner\\Mit Blank.TXT");
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
