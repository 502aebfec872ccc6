// How the run's account lays out an entry: a message's carriage returns
// become lines an editor shows, indented below the time.
#include "system/run_log.h"

#include <gtest/gtest.h>

namespace {

TEST(RunLogEntry, MessagesBecomeIndentedLines) {
  const struct {
    const char* text;
    const char* entry;
  } cases[] = {
      {"Datei kopiert: C:\\Demo\\DEMO.EXE", "12:00:01  Datei kopiert: C:\\Demo\\DEMO.EXE\r\n"},
      // Empty lines between paragraphs go; a trailing break adds none.
      {"Die Datei C:\\x\rkonnnte nicht kopiert werden!\r\rErneut versuchen ?\r",
       "12:00:01  Die Datei C:\\x\r\n          konnnte nicht kopiert werden!\r\n          Erneut versuchen ?\r\n"},
      {"\rvorn\n\nLF und CR LF\r\n", "12:00:01  vorn\r\n          LF und CR LF\r\n"},
      {"", "12:00:01  \r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(RunLogEntry("12:00:01", c.text), c.entry) << c.text;
  EXPECT_EQ(RunLogMessage("Text", ""), "Meldung: Text");
  EXPECT_EQ(RunLogMessage("Text", "Ja"), "Meldung ohne Fenster, Antwort \"Ja\": Text");
}

}  // namespace
