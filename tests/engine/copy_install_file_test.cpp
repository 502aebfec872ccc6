// The folders the copy step may create for a target's sub-path.
#include "engine/copy_install_file.h"

#include <gtest/gtest.h>

namespace {

TEST(TargetSubFolders, OnlyInsideTheDestination) {
  using Folders = std::vector<std::string>;
  const struct {
    const char* name;
    Folders folders;
  } cases[] = {
      {"BRIEF.DOT", {}},
      {"vorlagen\\BRIEF.DOT", {"vorlagen"}},
      {"a\\b c\\d.txt", {"a", "a\\b c"}},
      {"a/b\\c.txt", {"a", "a/b"}},
      {"vor.lagen\\x", {"vor.lagen"}},
      // Anything that could lead elsewhere creates nothing at all.
      {"..\\x.txt", {}},
      {"a\\..\\..\\x.txt", {}},
      {"a/../x.txt", {}},
      {"a\\...\\x.txt", {}},
      {"a\\. .\\x.txt", {}},
      {".\\x.txt", {}},
      {"\\windows\\x.txt", {}},
      {"a\\\\x.txt", {}},
      {"C:\\x\\y.txt", {}},
      {"C:x\\y.txt", {}},
      {"a\\C:\\y.txt", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TargetSubFolders(c.name), c.folders);
  }
}

}  // namespace
