// Where the shortcuts of an install go, and what the user is told at the end.
#include "engine/program_group.h"

#include <gtest/gtest.h>

namespace {

TEST(ChooseFolderSet, ThreeAccountSituations) {
  AccountFolders account;
  account.profilesDir = "C:\\Dokumente und Einstellungen";
  account.loginName = "hans";
  account.programs = "C:\\Dokumente und Einstellungen\\hans\\Startmenü\\Programme";
  account.desktop = "C:\\Dokumente und Einstellungen\\hans\\Desktop";
  account.commonPrograms = "C:\\Dokumente und Einstellungen\\All Users\\Startmenü\\Programme";
  account.commonDesktop = "C:\\Dokumente und Einstellungen\\All Users\\Desktop";
  const struct {
    const char* name;
    bool isAdministrator;
    bool allUsers;
    FolderSet expected;
  } cases[] = {
      {"administrator for all users", true, true,
       {true, "C:\\Dokumente und Einstellungen\\All Users",
        "C:\\Dokumente und Einstellungen\\All Users\\Startmenü\\Programme\\Kv Demo",
        "C:\\Dokumente und Einstellungen\\All Users\\Startmenü\\Programme\\",
        "C:\\Dokumente und Einstellungen\\All Users\\Desktop\\"}},
      {"administrator for the current user", true, false,
       {false, "C:\\Dokumente und Einstellungen\\hans",
        "C:\\Dokumente und Einstellungen\\hans\\Startmenü\\Programme\\Kv Demo",
        "C:\\Dokumente und Einstellungen\\hans\\Startmenü\\Programme\\",
        "C:\\Dokumente und Einstellungen\\hans\\Desktop\\"}},
      {"no administrator, all users asked for", false, true,
       {false, "C:\\Dokumente und Einstellungen\\hans",
        "C:\\Dokumente und Einstellungen\\hans\\Startmenü\\Programme\\Kv Demo",
        "C:\\Dokumente und Einstellungen\\hans\\Startmenü\\Programme\\",
        "C:\\Dokumente und Einstellungen\\hans\\Desktop\\"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    account.isAdministrator = c.isAdministrator;
    account.allUsers = c.allUsers;
    const FolderSet set = ChooseFolderSet(account, "Kv Demo");
    EXPECT_EQ(set.commonFolders, c.expected.commonFolders);
    EXPECT_EQ(set.userProfileDir, c.expected.userProfileDir);
    EXPECT_EQ(set.groupFolder, c.expected.groupFolder);
    EXPECT_EQ(set.programMenuRoot, c.expected.programMenuRoot);
    EXPECT_EQ(set.desktopFolder, c.expected.desktopFolder);
  }
}

TEST(OutcomeMessages, TextsAndWhenTheRightsHintIsGiven) {
  const std::string path = "C:\\Programme\\Demo";
  EXPECT_EQ(CopyErrorsMessage(path),
            "Bei der Installation des Programmes in das Verzeichnis \r\rC:\\Programme\\Demo\r\r"
            "sind Fehler aufgetreten!\r\rBitte wiederholen Sie die Installation.");
  const std::string installed = "Das Programm wurde ordnungsgemäß im Verzeichnis \r\rC:\\Programme\\Demo\r\rinstalliert!\r\r";
  EXPECT_EQ(VistaSuccessMessage(path), installed);
  EXPECT_EQ(SuccessMessage(path, false), installed + "Soll das Anwendungsprogramm jetzt gestartet werden?");
  EXPECT_EQ(SuccessMessage(path, true),
            installed +
                "Falls Sie das Programm für einen anderen Benutzer ohne Administratorenrechte installieren wollten, "
                "müssen Sie diesem Benutzer evtl. noch Schreib- und Leserechte für das Installationsverzeichnis "
                "verleihen, falls dieser noch nicht hierrüber verfügt.\r\r"
                "Soll das Anwendungsprogramm jetzt gestartet werden?");

  const struct {
    const char* version;
    bool admin;
    bool hint;
  } cases[] = {
      {"Windows NT", true, true},    {"Windows 2000", true, true},  {"Windows XP", true, true},
      {"Windows Vista", true, true}, {"Windows XP", false, false},  {"Windows 98SE", true, false},
      {"Windows 95", true, false},   {"Windows ME", true, false},   {"Unknown", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.version) + (c.admin ? " admin" : ""));
    EXPECT_EQ(RightsHintApplies(c.version, c.admin), c.hint);
  }
}

}  // namespace

namespace {

EntryValue Text(const char* name, const char* text) { return {name, text}; }
EntryValue Dword(const char* name, unsigned long value) { return {name, "", true, value}; }

TEST(UninstallEntryValues, FromTheListAndTheRun) {
  const std::vector<EntryValue> always = {
      Text("DisplayName", "Kv Demo deinstalieren"),
      Text("UninstallString", "\"C:\\Program Files\\Kv\\Uninstal.exe\""),
      Text("QuietUninstallString", "\"C:\\Program Files\\Kv\\Uninstal.exe\" /s"),
      Text("InstallLocation", "C:\\Program Files\\Kv")};
  const std::vector<EntryValue> noChange = {Dword("NoModify", 1), Dword("NoRepair", 1)};
  const struct {
    UninstallEntryFacts facts;  // group and directory as above
    std::vector<EntryValue> between;
  } cases[] = {
      {{"", "", "C:\\Program Files\\Kv\\DEMO.EXE", "3.2.1", "Kalvento", 70000},
       {Text("DisplayIcon", "C:\\Program Files\\Kv\\DEMO.EXE"), Text("DisplayVersion", "3.2.1"),
        Text("Publisher", "Kalvento"), Dword("EstimatedSize", 69)}},
      // Nothing known, nothing written; a byte past a KiB takes another.
      {{"", "", "", "", "", 1025}, {Dword("EstimatedSize", 2)}},
      // Past what a DWORD holds in KiB (4 TiB) the size stays at its largest.
      {{"", "", "", "", "", 5ull << 40}, {Dword("EstimatedSize", 0xFFFFFFFFul)}},
  };
  for (const auto& c : cases) {
    UninstallEntryFacts facts = c.facts;
    facts.groupName = "Kv Demo";
    facts.installPath = "C:\\Program Files\\Kv";
    std::vector<EntryValue> expected = always;
    expected.insert(expected.end(), c.between.begin(), c.between.end());
    expected.insert(expected.end(), noChange.begin(), noChange.end());
    EXPECT_TRUE(UninstallEntryValues(facts) == expected) << facts.installedBytes;
  }
}

// Entries written before the quotes, and the quoted ones, name the same
// uninstaller: start-up's look-up and the uninstaller's own check take both.
TEST(UninstallerOf, QuotedAndUnquotedEntries) {
  const char* const uninstaller = "C:\\Program Files\\Demo\\Uninstal.exe";
  for (const std::string& entry : {std::string(uninstaller), "\"" + std::string(uninstaller) + "\"",
                                  "\"" + std::string(uninstaller) + "\" /s", "\"" + std::string(uninstaller)})
    EXPECT_EQ(UninstallerOf(entry), uninstaller) << entry;
  EXPECT_EQ(UninstallerOf(""), "");
}

}  // namespace
