// The install log's names and the values one file writes, apart from the disk.
#include "engine/install_log.h"

#include <gtest/gtest.h>

#include <optional>
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

// What an entry writes, against the log as an earlier install or this run's
// earlier entries left it: only what the file does not hold yet.
TEST(EntryWrites, OnlyWhatTheLogDoesNotHold) {
  const std::string earlier =
      "[General]\r\nName=Demo\r\n[InstalledFiles]\r\nFile1=c:\\kv\\demo.exe\r\nfile2=c:\\kv\\alt.dll\r\n"
      "File3=c:\\kv\\uninstal.exe\r\n[Group]\r\nName=Alte Gruppe\r\n[StartMenu]\r\nFolder=Ordner\r\n";
  using Value = std::tuple<std::string, std::string, std::string>;
  const struct {
    const char* name;
    std::string log;  // the file's text before the run
    bool firstEntryWritten;
    const char* progName;
    const char* groupName;
    int number;
    const char* path;
    std::vector<Value> writes;
  } cases[] = {
      {"first entry, no log yet", "", false, "Demo", "Gruppe", 1, "c:\\kv\\demo.exe",
       {{"General", "Name", "Demo"},
        {"InstalledFiles", "File1", "c:\\kv\\demo.exe"},
        {"Group", "Name", "Gruppe"},
        {"StartMenu", "Folder", "Ordner"}}},
      {"first entry over an earlier log whose group differs: the group is replaced", earlier, false, "Demo",
       "Neue Gruppe", 1, "c:\\kv\\demo.exe", {{"Group", "Name", "Neue Gruppe"}}},
      {"an earlier entry in another letter case and with another path is replaced", earlier, false, "Demo",
       "Alte Gruppe", 2, "c:\\kv\\neu.dll", {{"InstalledFiles", "File2", "c:\\kv\\neu.dll"}}},
      {"a name the log holds in another letter case is written", earlier, false, "DEMO", "Alte Gruppe", 4,
       "c:\\kv\\uninstal.exe",
       {{"General", "Name", "DEMO"}, {"InstalledFiles", "File4", "c:\\kv\\uninstal.exe"}}},
      {"later entries leave the name to the first", earlier, true, "Anders", "Alte Gruppe", 5, "c:\\kv\\x.txt",
       {{"InstalledFiles", "File5", "c:\\kv\\x.txt"}}},
      {"an empty group name the log lacks is written", "[InstalledFiles]\r\nFile1=c:\\a\r\n", true, "", "", 2,
       "c:\\b", {{"InstalledFiles", "File2", "c:\\b"}, {"Group", "Name", ""}, {"StartMenu", "Folder", "Ordner"}}},
      {"an empty group name the log holds is not", "[Group]\r\nName=\r\n[StartMenu]\r\nFolder=Ordner\r\n", true,
       "", "", 1, "c:\\a", {{"InstalledFiles", "File1", "c:\\a"}}},
      // The profile functions read the first of two lines of one key, and a
      // section whatever the letter case of its header.
      {"a key listed twice holds its first value", "[InstalledFiles]\r\nFile1=c:\\a\r\nFILE1=c:\\b\r\n", true, "",
       "G", 1, "c:\\a", {{"Group", "Name", "G"}, {"StartMenu", "Folder", "Ordner"}}},
      {"a key listed twice: the second value is written", "[InstalledFiles]\r\nFile1=c:\\a\r\nFile1=c:\\b\r\n",
       true, "", "G", 1, "c:\\b",
       {{"InstalledFiles", "File1", "c:\\b"}, {"Group", "Name", "G"}, {"StartMenu", "Folder", "Ordner"}}},
      {"the files' header in another letter case", "[INSTALLEDfiles]\r\nFile1=c:\\a\r\n[Group]\r\nName=G\r\n", true,
       "", "G", 1, "c:\\a", {{"StartMenu", "Folder", "Ordner"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CopyRun run{"c:\\kv", c.progName, c.groupName, "Ordner"};
    run.firstEntryWritten = c.firstEntryWritten;
    run.held = HeldValues(c.log);
    std::vector<Value> got;
    for (const IniValue& v : EntryWrites(run, c.number, c.path)) got.emplace_back(v.section, v.key, v.value);
    EXPECT_EQ(got, c.writes);
  }

  // What is written is held: the same entry again writes nothing.
  CopyRun run{"c:\\kv", "Demo", "Gruppe", "Ordner"};
  Hold(run.held, EntryWrites(run, 1, "c:\\kv\\demo.exe"));
  run.firstEntryWritten = true;
  EXPECT_TRUE(EntryWrites(run, 1, "c:\\kv\\demo.exe").empty());
  EXPECT_EQ(EntryWrites(run, 2, "c:\\kv\\demo.exe").size(), 1u);
}

// The part of the log after its files, in front of which a new file's key
// goes: from the header the profile functions would see after the files.
TEST(LogTail, FromTheSectionAfterTheFiles) {
  const std::optional<std::string> none;
  const struct {
    const char* name;
    std::string text;
    std::optional<std::string> tail;
  } cases[] = {
      {"as the run writes it",
       "[General]\r\nName=Demo\r\n[InstalledFiles]\r\nFile1=c:\\a\r\n[Group]\r\nName=G\r\n[StartMenu]\r\nFolder=F\r\n",
       "[Group]\r\nName=G\r\n[StartMenu]\r\nFolder=F\r\n"},
      {"header in another letter case, blanks, lines ending in LF alone",
       "  [ installedfiles ]\nFile1=[x]\n\n\t[BenutzerKonto]\nUserName=C:\\u\n", "\t[BenutzerKonto]\nUserName=C:\\u\n"},
      {"a header after a form feed", "[InstalledFiles]\r\nFile1=c:\\a\r\n\f[Group]\r\nName=G\r\n",
       "\f[Group]\r\nName=G\r\n"},
      {"a line opening with [ but without ] is a key", "[InstalledFiles]\r\n[File1=c:\\a\r\n[Group]\r\n", "[Group]\r\n"},
      {"the first of two file sections",
       "[InstalledFiles]\r\nFile1=a\r\n[Group]\r\nName=G\r\n[InstalledFiles]\r\nFile2=b\r\n",
       "[Group]\r\nName=G\r\n[InstalledFiles]\r\nFile2=b\r\n"},
      {"files last", "[Group]\r\nName=G\r\n[InstalledFiles]\r\nFile1=c:\\a\r\n", ""},
      {"files last, the last line without its line break", "[Group]\r\n[InstalledFiles]\r\nFile1=c:\\a", none},
      {"the next header after a CR alone", "[InstalledFiles]\rFile1=c:\\a\r[Group]\r", none},
      {"a UTF-8 byte-order mark", "\xEF\xBB\xBF[InstalledFiles]\r\nFile1=c:\\a\r\n[Group]\r\n", none},
      {"no files", "[Group]\r\nName=G\r\n", none},
      {"empty file", "", none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LogTail(c.text), c.tail);
  }
}

// When an entry goes in as a line of its own and what the line is.
TEST(AddedEntryLine, OnlyANewFilesKeyThatReadsBackAsWritten) {
  const std::optional<std::string> none;
  const std::optional<std::string> known = "[Group]\r\nName=G\r\n";
  const struct {
    const char* name;
    std::vector<IniValue> writes;
    std::optional<std::string> tail;
    std::optional<std::string> line;
  } cases[] = {
      {"a new key", {{"InstalledFiles", "File2", "c:\\kv\\b.dll"}}, known, "File2=c:\\kv\\b.dll\r\n"},
      {"a new key, the files last", {{"InstalledFiles", "File2", "c:\\kv\\b.dll"}}, "", "File2=c:\\kv\\b.dll\r\n"},
      {"an empty value", {{"InstalledFiles", "File2", ""}}, known, "File2=\r\n"},
      {"the tail not known", {{"InstalledFiles", "File2", "c:\\kv\\b.dll"}}, none, none},
      {"a key the log holds in another letter case", {{"InstalledFiles", "FILE1", "c:\\kv\\neu.exe"}}, known, none},
      {"a key line without a value", {{"InstalledFiles", "File3", "c:\\kv\\neu.exe"}}, known, none},
      {"a key after a line with an empty name", {{"InstalledFiles", "File4", "c:\\kv\\neu.exe"}}, known, none},
      {"more than the key", {{"InstalledFiles", "File2", "c:\\b"}, {"Group", "Name", "H"}}, known, none},
      {"another section", {{"Group", "Name", "H"}}, known, none},
      {"a leading blank", {{"InstalledFiles", "File2", " c:\\b"}}, known, none},
      {"a leading umlaut", {{"InstalledFiles", "File2", "\xFC.txt"}}, known, none},
      {"a line break", {{"InstalledFiles", "File2", "c:\\b\r\nFile9=c:\\x"}}, known, none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CopyRun run{"c:\\kv", "Demo", "G", "Ordner"};
    run.held = HeldValues("[InstalledFiles]\r\nfile1=c:\\kv\\a.exe\r\nFile3\r\n=x\r\nFile4=\r\n[Group]\r\nName=G\r\n");
    run.tail = c.tail;
    EXPECT_EQ(AddedEntryLine(run, c.writes), c.line);
  }
}

// Which entries of an earlier log a re-install enters again, and under which
// numbers: a..z are files, u the uninstaller, "" a number without a file.
TEST(EarlierEntriesToKeep, WhatTheRunWroteOverAndDoesNotList) {
  using Files = std::vector<std::string>;
  const struct {
    const char* name;
    Files earlier, entered;
    std::vector<KeptEntry> kept;
  } cases[] = {
      {"a fresh install", {}, {"a", "u"}, {}},
      {"the new version ships one file less", {"a", "b", "u"}, {"a", "u"}, {{4, "b"}}},
      {"files in another order", {"a", "b", "u"}, {"b", "a", "u"}, {}},
      {"a number the run skips keeps its file", {"a", "d", "u"}, {"a", "", "u"}, {}},
      {"the lowest numbers no key holds", {"x", "", "y", "z"}, {"a", "", "b"}, {{2, "x"}, {5, "y"}}},
      {"a file the earlier log lists twice, once", {"d", "d", "u"}, {"a", "u"}, {{4, "d"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EarlierEntriesToKeep(c.earlier, c.entered), c.kept);
  }
}

}  // namespace
