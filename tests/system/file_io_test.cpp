// The file layer on both platforms: a file object that is not open, and the
// names of temporary files.
#include "system/file_io.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(File, CallsOnAFileThatIsNotOpenFail) {
  kvtest::TempDir dir;
  kvtest::WriteBytes(dir / "data", kvtest::ToBytes("data"));
  kv::File closedAfterUse = kv::OpenForReading(dir / "data");
  ASSERT_TRUE(closedAfterUse.IsOpen());
  EXPECT_TRUE(closedAfterUse.Close());
  kv::File missing = kv::OpenForReading(dir / "missing");
  const struct {
    const char* name;
    kv::File& file;
  } cases[] = {{"never opened", missing}, {"closed", closedAfterUse}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    char buffer[4];
    EXPECT_FALSE(c.file.IsOpen());
    EXPECT_EQ(c.file.Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(c.file.Write(buffer, sizeof buffer), -1);
    EXPECT_FALSE(c.file.Close());
  }
}

TEST(File, TemporaryFilesGetUnusedShortNamesBesideTheTarget) {
  kvtest::TempDir dir;
  const std::string target = dir / "TARGET.EXE";
  std::vector<kv::File> held;
  std::set<std::string> names;
  for (int i = 0; i < 40; ++i) {
    std::string path;
    held.push_back(kv::CreateTempBeside(target, path));
    ASSERT_TRUE(held.back().IsOpen()) << i;
    const std::string prefix = dir / "";
    ASSERT_EQ(path.compare(0, prefix.size(), prefix), 0) << path;
    EXPECT_LE(path.size() - prefix.size(), 8u) << path;
    EXPECT_TRUE(names.insert(path).second) << "a name handed out twice: " << path;
  }
  EXPECT_EQ(dir.Entries().size(), 40u);
}

}  // namespace
