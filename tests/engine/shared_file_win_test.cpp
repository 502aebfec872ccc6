// Shared files in the Windows directory against the registry's use counts:
// one counted by another product, one there before without a count, one this
// product placed alone, and one a log lists that no install counted.
#include "system/ascii_case.h"
#include "engine/shared_file.h"
#include "system/helpers.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

namespace {

using wine_test::SetSharedCount;
using wine_test::SharedCount;

TEST(SharedFile, CountedAtInstallReleasedAtUninstall) {
  const struct {
    const char* name;
    bool there;                            // before the install
    std::optional<unsigned long> before;   // its count then
    bool installed;                        // placed and counted by the install
    std::optional<unsigned long> counted;  // after the install
    std::optional<unsigned long> after;    // after the uninstall
    bool stays;
  } cases[] = {
      {"kvshared-andere.dll", true, 1, true, 2, 1, true},
      {"kvshared-ungezaehlt.dll", true, std::nullopt, true, 2, 1, true},
      {"kvshared-eigen.dll", false, std::nullopt, true, 1, std::nullopt, false},
      {"kvshared-nie.dll", true, std::nullopt, false, std::nullopt, std::nullopt, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = AddBackslash(GetWindowsDir()) + c.name;
    ::DeleteFileA(path.c_str());
    if (c.there) kvtest::WriteBytes(path, "vorher");
    SetSharedCount(path, c.before);
    if (c.installed) {
      kvtest::WriteBytes(path, "neu");
      CountSharedFile(path, c.there, false);
    }
    EXPECT_EQ(SharedCount(path), c.counted);
    // The uninstaller finds the path in the log in lower case.
    EXPECT_EQ(ReleaseSharedFile(AsciiLowerCase(path)), !c.stays);
    EXPECT_EQ(SharedCount(path), c.after);
    EXPECT_EQ(FileExists(path), c.stays);
    SetSharedCount(path, std::nullopt);
    ::DeleteFileA(path.c_str());
  }
}

}  // namespace
