#include "engine/shared_file.h"

#include "engine/program_group.h"

#include <cstdint>
#include <limits>

std::string SharedFileRecordsKey(const std::string& entryName) {
  return UninstallKeyPath(entryName) + "\\" + kRecordsSubkey;
}

std::optional<unsigned long> CountAfterInstall(SharedCount count, bool existedBefore, bool recorded) {
  using State = SharedCount::State;
  // DWORD's highest value, whatever the width of long on the build host.
  constexpr unsigned long kHighest = std::numeric_limits<std::uint32_t>::max();
  if (count.state == State::Unreadable) return std::nullopt;
  // A record whose count has gone since (0 or none) holds nothing: the count
  // is taken again, and stays recorded once.
  if (count.state == State::Number && (count.value >= kHighest || (recorded && count.value > 0))) return std::nullopt;
  // A count of 0 says no more than none: whoever placed a file that is there
  // still uses it.
  const unsigned long base = count.state == State::Number ? count.value : 0;
  return base == 0 && existedBefore ? 2 : base + 1;
}

SharedFileRelease ReleaseOf(SharedCount count) {
  if (count.state != SharedCount::State::Number || count.value == 0)
    return {SharedFileRelease::Step::LeaveAlone, 0};
  if (count.value == 1) return {SharedFileRelease::Step::Remove, 0};
  return {SharedFileRelease::Step::CountDown, count.value - 1};
}
