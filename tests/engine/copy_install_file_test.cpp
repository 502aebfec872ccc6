// The folders the copy step may create for a target's sub-path, and which
// of the copy run's updates reach the screen.
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

TEST(CopyPagePacing, DrawsTheFirstThenOnceAnIntervalHasPassed) {
  const struct {
    const char* name;
    std::vector<std::uint32_t> times;
    std::vector<bool> drawn;
  } cases[] = {
      {"the first at once, even at 0", {0, 1}, {true, false}},
      {"a steady stream: one in each 40 ms", {0, 10, 39, 40, 41, 79, 80, 200}, {true, false, false, true, false, false, true, true}},
      {"a stopped clock draws the first alone", {500, 500, 500}, {true, false, false}},
      {"the clock's wrap after 49.7 days", {0xFFFFFFF0u, 0xFFFFFFFFu, 0x17u, 0x18u, 0x30u}, {true, false, false, true, false}},
      {"a slow file: the next one draws at once", {100, 5100, 5110}, {true, true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CopyPagePacing pacing(40);
    std::vector<bool> drawn;
    for (const std::uint32_t t : c.times) drawn.push_back(pacing.Due(t));
    EXPECT_EQ(drawn, c.drawn);
  }
}

}  // namespace
