// The use count of a shared file in the Windows directory: its next value at
// install and at uninstall, and whether the uninstall deletes the file.
#include "engine/shared_file.h"

#include <gtest/gtest.h>

namespace {

using State = SharedCount::State;
constexpr SharedCount kMissing{State::Missing, 0};
constexpr SharedCount kUnreadable{State::Unreadable, 0};  // REG_SZ "3", REG_BINARY, REG_QWORD, a 2-byte DWORD
constexpr SharedCount Count(unsigned long n) { return {State::Number, n}; }

TEST(SharedFile, CountAtInstall) {
  const struct {
    const char* name;
    SharedCount count;
    bool existedBefore, recorded;
    std::optional<unsigned long> after;
  } cases[] = {
      {"new file", kMissing, false, false, 1},
      {"there before without a count: never this product's alone", kMissing, true, false, 2},
      {"there before with a count of 0: never this product's alone", Count(0), true, false, 2},
      {"a count of 0 left without its file", Count(0), false, false, 1},
      {"counted by another product", Count(3), true, false, 4},
      {"a count left without its file", Count(3), false, false, 4},
      {"recorded: a re-install, or the same file listed twice", Count(2), true, true, std::nullopt},
      {"recorded, the count since deleted: taken again", kMissing, true, true, 2},
      {"re-install after the file went: the count recorded is kept", Count(1), false, true, std::nullopt},
      {"re-install after the file and its count went: taken again", kMissing, false, true, 1},
      {"recorded, the count since set to 0: taken again", Count(0), false, true, 1},
      {"a value that is no number stays as it is", kUnreadable, true, false, std::nullopt},
      {"one below the highest count", Count(0xFFFFFFFEul), true, false, 0xFFFFFFFFul},
      {"the highest count never wraps to 0", Count(0xFFFFFFFFul), true, false, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CountAfterInstall(c.count, c.existedBefore, c.recorded), c.after);
  }
}

TEST(SharedFile, ReleaseAtUninstall) {
  using Step = SharedFileRelease::Step;
  const struct {
    const char* name;
    SharedCount count;
    Step step;
    unsigned long next;
  } cases[] = {
      {"count deleted since", kMissing, Step::LeaveAlone, 0},
      {"no number", kUnreadable, Step::LeaveAlone, 0},
      {"0 says nothing of who uses it", Count(0), Step::LeaveAlone, 0},
      {"this install's alone", Count(1), Step::Remove, 0},
      {"one other user", Count(2), Step::CountDown, 1},
      {"the highest count", Count(0xFFFFFFFFul), Step::CountDown, 0xFFFFFFFEul},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SharedFileRelease release = ReleaseOf(c.count);
    EXPECT_EQ(release.step, c.step);
    if (c.step == Step::CountDown) {
      EXPECT_EQ(release.count, c.next);
    }
  }
}

}  // namespace
