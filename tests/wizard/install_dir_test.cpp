// Which install directories pass the directory check by their name.
#include "wizard/install_dir.h"

#include <gtest/gtest.h>

namespace {

TEST(InstallDirName, AbsoluteAndNotTheProgramsFolder) {
  struct Row {
    const char* path;
    bool rootLike;
    bool accepted;
  } rows[] = {
      {"c:\\programme", true, false},
      {"C:\\PROGRAMME", true, false},
      {"C:\\Program Files", true, false},
      {"c:\\program files\\", true, false},
      {"C:\\Programme\\", true, false},
      {"c:\\programme\\\\", false, true},
      {"C:\\Programme\\Demo", false, true},
      {"D:\\Programme", false, true},
      {"C:/Demo", false, true},
      {"\\\\server\\share\\Demo", false, true},
      {"RelDemo", false, false},
      {"Programme\\Demo", false, false},
      {"\\Programme\\Demo", false, false},
      {"C:Demo", false, false},
      {"1:\\Demo", false, false},
      {"\\\\\\Demo", false, false},
      {"", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(IsRootLikeInstallPath(row.path), row.rootLike);
    EXPECT_EQ(InstallPathNameAccepted(row.path), row.accepted);
  }
}

}  // namespace
