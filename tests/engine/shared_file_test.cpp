// The use count of a shared file in the Windows directory: its next value at
// install and at uninstall, and whether the uninstall deletes the file.
#include "engine/shared_file.h"

#include <gtest/gtest.h>

namespace {

TEST(SharedFile, CountAtInstall) {
  const struct {
    const char* name;
    std::optional<unsigned long> count;
    bool existedBefore, listedBefore;
    std::optional<unsigned long> after;
  } cases[] = {
      {"new file", std::nullopt, false, false, 1},
      {"there before without a count: never this product's alone", std::nullopt, true, false, 2},
      {"counted by another product", 3, true, false, 4},
      {"a count left without its file", 3, false, false, 4},
      {"re-install: the log lists it", 2, true, true, std::nullopt},
      {"re-install of a file never counted", std::nullopt, true, true, std::nullopt},
      {"re-install after the file went: the count the log stands for is kept", 1, false, true, std::nullopt},
      {"re-install after the file and its count went", std::nullopt, false, true, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CountAfterInstall(c.count, c.existedBefore, c.listedBefore), c.after);
  }
}

TEST(SharedFile, ReleaseAtUninstall) {
  using Step = SharedFileRelease::Step;
  const struct {
    std::optional<unsigned long> count;
    Step step;
    unsigned long next;
  } cases[] = {
      {std::nullopt, Step::Keep, 0}, {0, Step::Keep, 0}, {1, Step::Remove, 0}, {2, Step::CountDown, 1},
      {7, Step::CountDown, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count ? std::to_string(*c.count) : "no count");
    const SharedFileRelease release = ReleaseOf(c.count);
    EXPECT_EQ(release.step, c.step);
    if (c.step == Step::CountDown) {
      EXPECT_EQ(release.count, c.next);
    }
  }
}

}  // namespace
