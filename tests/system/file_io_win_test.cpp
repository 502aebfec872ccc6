// What only the Win32 file layer shows: the replacement Windows 9x takes, and
// that both replacements refuse what Windows refuses (Wine itself would
// replace a read-only file).
#include "system/file_io.h"
#include "system/file_io_win.h"

#include "system/handles.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

namespace {

using wine_test::HoldOpen;

TEST(Replace, TheEarlierFileStaysUntilTheNewOneIsInPlace) {
  const struct {
    const char* name;
    bool earlier;
    enum { None, HoldNew, HoldEarlier, ReadOnlyEarlier } obstacle;
    bool replaced;
  } cases[] = {
      {"no earlier file", false, cases[0].None, true},
      {"earlier file", true, cases[0].None, true},
      {"the new file cannot be moved: the earlier one goes back", true, cases[0].HoldNew, false},
      {"the earlier file is in use", true, cases[0].HoldEarlier, false},
      {"the earlier file is read-only", true, cases[0].ReadOnlyEarlier, false},
  };
  using Replace = bool (*)(const std::string&, const std::string&);
  const std::pair<const char*, Replace> replacements[] = {{"ReplaceFilePath", &kv::ReplaceFilePath},
                                                          {"ReplaceByRenaming", &kv::ReplaceByRenaming}};
  for (const auto& [name, replace] : replacements) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(name) + ": " + c.name);
      kvtest::TempDir dir;
      const std::string from = dir / "new.tmp", to = dir / "PROG.EXE";
      kvtest::WriteBytes(from, kvtest::ToBytes("new"));
      if (c.earlier) kvtest::WriteBytes(to, kvtest::ToBytes("earlier"));
      if (c.obstacle == c.ReadOnlyEarlier) ::SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY);
      {
        const kv::FileHandle held = c.obstacle == c.HoldNew       ? HoldOpen(from)
                                    : c.obstacle == c.HoldEarlier ? HoldOpen(to)
                                                                  : kv::FileHandle();
        EXPECT_EQ(replace(from, to), c.replaced);
      }
      EXPECT_EQ(kvtest::ReadBytes(to), kvtest::ToBytes(c.replaced ? "new" : "earlier"));
      EXPECT_EQ(kvtest::Exists(from), !c.replaced);
      EXPECT_EQ(dir.Entries().size(), c.replaced ? 1u : 2u) << "nothing may be left aside";
      ::SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
  }
}

}  // namespace
