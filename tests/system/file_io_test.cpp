// The file layer on both platforms: a file object that is not open, the
// names of temporary files, and where a new file's bytes go.
#include "system/file_io.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
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

// Only a file that replaces an earlier one is written beside it and flushed
// before it takes its place; a new file is written where it belongs.
TEST(Output, OnlyAReplacementIsWrittenBesideAndFlushed) {
  enum Before { kNothing, kFile, kFolder, kNoParent };
  const struct {
    const char* name;
    Before before;
    bool opens;
    bool replaces;  // written beside the target, flushed, then put in place
    bool placed;
  } cases[] = {
      {"a new file", kNothing, true, false, true},
      {"an earlier file", kFile, true, true, true},
      {"a folder of the name: the earlier route refuses it", kFolder, true, true, false},
      {"no folder to write to", kNoParent, false, true, false},
  };
  for (const auto& c : cases) {
    for (const bool discarded : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (discarded ? ", discarded" : ""));
      kvtest::TempDir dir;
      const std::string target = c.before == kNoParent ? (std::filesystem::path(dir / "nowhere") / "PROG.EXE").string()
                                                       : dir / "PROG.EXE";
      if (c.before == kFile) kvtest::WriteBytes(target, kvtest::ToBytes("earlier"));
      if (c.before == kFolder) std::filesystem::create_directory(target);

      kv::Output out = kv::OpenOutput(target);
      ASSERT_EQ(out.file.IsOpen(), c.opens);
      EXPECT_EQ(out.replaces, c.replaces);
      if (!c.opens) continue;
      EXPECT_EQ(out.path == target, !c.replaces);
      EXPECT_EQ(out.file.Write("new", 3), 3);
      if (discarded) {
        kv::DiscardOutput(out);
      } else {
        EXPECT_TRUE(kv::CloseOutput(out));
        EXPECT_EQ(kv::PlaceOutput(out, target), c.placed);
      }
      const bool placed = c.placed && !discarded;
      if (placed) {
        EXPECT_EQ(kvtest::ReadBytes(target), kvtest::ToBytes("new"));
      } else if (c.before == kFile) {
        EXPECT_EQ(kvtest::ReadBytes(target), kvtest::ToBytes("earlier"));
      } else {
        EXPECT_EQ(kvtest::Exists(target), c.before == kFolder);
      }
      EXPECT_EQ(dir.Entries().size(), placed || c.before != kNothing ? 1u : 0u) << "nothing may be left beside";
    }
  }
}

}  // namespace
