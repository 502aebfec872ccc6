// The program's path as the ANSI functions see it, for folders whose names
// the ANSI code page (1252 here) can and cannot write.
#include "system/helpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(AnsiPathFor, LongPathWhenTheCodePageWritesItShortFormOtherwise) {
  struct Case {
    const char* what;
    std::wstring longPath;
    std::wstring shortPath;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"plain", L"C:\\Setup\\SETUP.EXE", L"C:\\Setup\\SETUP.EXE", "C:\\Setup\\SETUP.EXE"},
      {"umlauts and euro sign of code page 1252", L"C:\\M\u00FCller \u20AC\\SETUP.EXE", L"C:\\MLLER~1\\SETUP.EXE",
       "C:\\M\xFCller \x80\\SETUP.EXE"},
      {"Polish letters: the short form", L"C:\\Medium \u0141\u00F3d\u017A\\SETUP.EXE", L"C:\\MEDIUM~1\\SETUP.EXE",
       "C:\\MEDIUM~1\\SETUP.EXE"},
      {"Cyrillic: the short form", L"D:\\\u0423\u0441\u0442\u0430\u043D\u043E\u0432\u043A\u0430\\SETUP.EXE",
       L"D:\\C4D8~1\\SETUP.EXE", "D:\\C4D8~1\\SETUP.EXE"},
      {"a decomposed accent: the short form", L"C:\\Cafe\u0301\\SETUP.EXE", L"C:\\CAFE~1\\SETUP.EXE",
       "C:\\CAFE~1\\SETUP.EXE"},
      {"volume without short names", L"C:\\Medium \u0141\u00F3d\u017A\\SETUP.EXE",
       L"C:\\Medium \u0141\u00F3d\u017A\\SETUP.EXE", ""},
      {"no short form at all", L"C:\\Medium \u0141\u00F3d\u017A\\SETUP.EXE", L"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(AnsiPathFor(c.longPath, c.shortPath), c.expected);
  }
}

}  // namespace
