// The rules hzpack check shares with the setup program. Each is one function
// of the program that the program and the check both call, so one row per
// case covers both.
#include "engine/install_plan.h"
#include "engine/program_group.h"
#include "system/Kv_tools.h"
#include "system/setup_list.h"
#include "wizard/install_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

std::string YesNo(bool b) { return b ? "yes" : "no"; }

// The list text's [Items] as "file=caption;" each.
std::string Items(const std::string& lines) {
  std::string text;
  for (const ShortcutItem& item : ReadShortcutItems(ProfileOfText("[Items]\r\n" + lines)))
    text += item.file + "=" + item.caption + ";";
  return text;
}

std::string Defaults(const std::string& list) {
  const ProfileReader reader = ProfileOfText(list);
  return ReadProgramName(reader) + "|" + ReadDefaultPath(reader) + "|" + ReadStartMenuFolder(reader) + "|" +
         ReadGroupName(reader);
}

// "PLATFORM MAJOR MINOR CSD", as GetVersionExA reports them.
std::string VersionName(const std::string& facts) {
  std::istringstream in(facts);
  unsigned long platform = 0, major = 0, minor = 0;
  in >> platform >> major >> minor;
  std::string csd;
  in.get();
  std::getline(in, csd);
  return WindowsVersionNameOf(platform, major, minor, csd);
}

TEST(SharedRules, OneFunctionDecidesForTheProgramAndTheCheck) {
  using Rule = std::function<std::string(const std::string&)>;
  const Rule staysInside = [](const std::string& s) { return YesNo(StaysInsideFolder(s)); };
  const Rule installPath = [](const std::string& s) { return YesNo(InstallPathNameAccepted(s)); };
  const Rule entryName = [](const std::string& s) { return YesNo(IsUninstallEntryName(s)); };
  const Rule readsBack = [](const std::string& s) { return YesNo(ListValueAsRead(s) == s); };
  const Rule versionKey = [](const std::string& s) { return YesNo(NamesWindowsVersion(s)); };
  const std::string c255(255, 'c');
  const struct {
    const char* rule;
    Rule apply;
    std::string input;
    std::string expected;
  } rows[] = {
      // A listed file, a group folder: the plan, the copy step, the
      // uninstaller and the check's look-up on the medium.
      {"name", staysInside, "Hilfe\\DEMO.HLP", "yes"},
      {"name", staysInside, "a/b c\\..dat", "yes"},
      {"name", staysInside, "sub\\\\b.txt", "no"},
      {"name", staysInside, "sub\\", "no"},
      {"name", staysInside, "", "no"},
      {"name", staysInside, "a\\..\\..\\x.dll", "no"},
      {"name", staysInside, "...\\x", "no"},
      {"name", staysInside, ". .\\x", "no"},
      {"name", staysInside, "C:x.dll", "no"},
      {"name", staysInside, "x.txt:stream", "no"},
      {"name", staysInside, "\\x.dll", "no"},
      {"name", staysInside, "/x.dll", "no"},
      // defaultPath: the wizard's directory check and the check's warning.
      {"install path", installPath, "C:\\Programme\\Demo", "yes"},
      {"install path", installPath, "C:/Demo", "yes"},
      {"install path", installPath, "\\\\server\\Demo", "yes"},
      {"install path", installPath, "\\\\\\Demo", "no"},
      {"install path", installPath, "Demo", "no"},
      {"install path", installPath, "C:Demo", "no"},
      {"install path", installPath, "c:\\programme\\", "no"},
      // [StartMenu] Folder: registration, start-up, uninstall and the check.
      {"entry name", entryName, "Firma\\Demo", "yes"},
      {"entry name", entryName, "\\Demo", "no"},
      {"entry name", entryName, "Demo\\", "no"},
      {"entry name", entryName, "Firma\\\\Demo", "no"},
      {"entry name", entryName, "", "no"},
      // A value make writes and the check measures: whole up to 2047
      // characters, without blanks or quotes at its ends.
      {"value", readsBack, std::string(2047, 'x'), "yes"},
      {"value", readsBack, std::string(2048, 'x'), "no"},
      {"value", readsBack, "'Notiz.txt'", "no"},
      {"value", readsBack, "\"x\"", "no"},
      {"value", readsBack, " vorn.txt", "no"},
      {"value", readsBack, "'Notiz.txt", "yes"},
      {"value", readsBack, "a;b", "yes"},
      // [Items]: the shortcut stage and the check's plan.
      {"items", Items, "DEMO.EXE=" + c255 + "x\r\nB.HLP=\r\nC.HLP=Hilfe\r\n", "DEMO.EXE=" + c255 + ";C.HLP=Hilfe;"},
      // Defaults: start-up, the install run and the check.
      {"defaults", Defaults, "", "Programm|C:\\App|Unbenannt|Gruppex"},
      {"defaults", Defaults, "[General]\r\nName=\r\n[Group]\r\nName=\r\n", "|C:\\App|Unbenannt|"},
      // Windows versions: the name the program gives the system, and the
      // [SystemDepended] keys the plan reads and the check accepts.
      {"version", VersionName, "1 4 0 ", "Windows 95"},
      {"version", VersionName, "1 4 10  A ", "Windows 98SE"},
      {"version", VersionName, "1 4 10  ", "Windows 98"},
      {"version", VersionName, "1 4 90  ", "Windows ME"},
      {"version", VersionName, "2 4 0 Service Pack 6a", "Windows NT"},
      {"version", VersionName, "2 5 0 ", "Windows 2000"},
      {"version", VersionName, "2 5 1 ", "Windows XP"},
      {"version", VersionName, "2 5 2 ", "Unknown"},
      {"version", VersionName, "2 6 1 Service Pack 1", "Windows Vista"},
      {"version key", versionKey, "windows 98se", "yes"},
      {"version key", versionKey, "Unknown", "yes"},
      {"version key", versionKey, "Windows 7", "no"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.rule) + ": " + row.input.substr(0, 40));
    EXPECT_EQ(row.apply(row.input), row.expected);
  }
}

}  // namespace
