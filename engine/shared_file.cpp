#include "engine/shared_file.h"

std::optional<unsigned long> CountAfterInstall(std::optional<unsigned long> count, bool existedBefore,
                                               bool listedBefore) {
  if (listedBefore) return std::nullopt;
  if (count) return *count + 1;
  return existedBefore ? 2 : 1;
}

SharedFileRelease ReleaseOf(std::optional<unsigned long> count) {
  // A count of zero says nothing of who uses the file: it stays like one
  // without a count.
  if (!count || *count == 0) return {SharedFileRelease::Step::Keep, 0};
  if (*count == 1) return {SharedFileRelease::Step::Remove, 0};
  return {SharedFileRelease::Step::CountDown, *count - 1};
}
