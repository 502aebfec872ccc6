// The command line: what follows a first "/s", and what an administrator's
// typo does. Expected options are written out case by case.
#include "system/command_line.h"

#include <gtest/gtest.h>

namespace {

struct Expected {
  bool slashS;
  const char* directory;
  bool allUsers;
  const char* logFile;
  bool suppress;
  const char* rejected;
};

TEST(CommandLine, SwitchesOnlyAfterAFirstSlashS) {
  const struct {
    const char* commandLine;  // as the system hands it over, program first
    bool installMode;
    Expected expected;
  } cases[] = {
      // The first argument alone decides, as it always did.
      {"SETUP.EXE", true, {false, "", false, "", false, ""}},
      {"SETUP.EXE /s", true, {true, "", false, "", false, ""}},
      {"\"D:\\Neuer Ordner\\SETUP.EXE\" /S", true, {true, "", false, "", false, ""}},
      {"SETUP.EXE \"/s\"", true, {true, "", false, "", false, ""}},
      {"SETUP.EXE /silent", true, {false, "", false, "", false, ""}},
      {"SETUP.EXE /quiet /s", true, {false, "", false, "", false, ""}},
      // Before "/s" a switch means nothing, and nothing is refused.
      {"SETUP.EXE /DIR=C:\\Anders /s", true, {false, "", false, "", false, ""}},
      // All four, any order and case, values with and without quotes.
      {"SETUP.EXE /s /suppressmsgboxes /Dir=\"C:\\Program Files\\Demo\" /allusers /LOG=C:\\setup.log", true,
       {true, "C:\\Program Files\\Demo", true, "C:\\setup.log", true, ""}},
      {"SETUP.EXE /s \"/LOG=C:\\Temp\\ein log.txt\" /ALLUSERS", true,
       {true, "", true, "C:\\Temp\\ein log.txt", false, ""}},
      // A quoted folder may end in a backslash; the next switch stays its own.
      {"SETUP.EXE /s /DIR=\"C:\\Mein Demo\\\" /SUPPRESSMSGBOXES", true,
       {true, "C:\\Mein Demo\\", false, "", true, ""}},
      // What the common frameworks taught administrators is a typo here.
      {"SETUP.EXE /S /D=C:\\Anders", true, {true, "", false, "", false, "/D=C:\\Anders"}},
      {"SETUP.EXE /s /DIR C:\\Anders", true, {true, "", false, "", false, "/DIR"}},
      {"SETUP.EXE /s /DIR=", true, {true, "", false, "", false, "/DIR="}},
      {"SETUP.EXE /s /DIR=C:\\A /DIR=C:\\B", true, {true, "C:\\A", false, "", false, "/DIR=C:\\B"}},
      {"SETUP.EXE   /s\t/ALLUSERS /allusers", true, {true, "", true, "", false, "/allusers"}},
      {"SETUP.EXE /s C:\\Anders", true, {true, "", false, "", false, "C:\\Anders"}},
      // The uninstaller takes the account and passes over the rest, as ever.
      {"Uninstal.exe /s /SUPPRESSMSGBOXES extra /LOG=C:\\weg.log", false, {true, "", false, "C:\\weg.log", false, ""}},
      {"Uninstal.exe /s /DIR=C:\\Anders /ALLUSERS", false, {true, "", false, "", false, ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.commandLine);
    std::vector<std::string> arguments = SplitCommandLine(c.commandLine);
    ASSERT_FALSE(arguments.empty());
    arguments.erase(arguments.begin());
    const CommandLine got = ParseCommandLine(arguments, c.installMode);
    EXPECT_EQ(got.slashS, c.expected.slashS);
    EXPECT_EQ(got.directory, c.expected.directory);
    EXPECT_EQ(got.allUsers, c.expected.allUsers);
    EXPECT_EQ(got.logFile, c.expected.logFile);
    EXPECT_EQ(got.suppressMsgBoxes, c.expected.suppress);
    EXPECT_EQ(got.rejected, c.expected.rejected);
  }
}

}  // namespace
