// What only the Win32 file layer shows: files held open by someone else.
#include "decompress/compress.h"

#include "system/handles.h"
#include "tests/decompress/test_files.h"

#include <gtest/gtest.h>

namespace {

const kvtest::Bytes kAbc = {0x21, 0x48, 0x5A, 0x4C, 0x03, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xE0};

kv::FileHandle HoldOpen(const std::string& path) {
  return kv::FileHandle(
      ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(ExpandWin, FilesInUse) {
  const struct {
    const char* name;
    bool holdInput;
    const char* text;  // <in> / <out> stand for the names
  } cases[] = {
      {"input open elsewhere reads as missing", true, "<in> nicht gefunden!"},
      {"target open elsewhere cannot be replaced", false, "Konnte <out> nicht öffnen!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    kvtest::TempDir dir;
    InFileName = dir / "IN.EX_";
    OutFileName = dir / "OUT.EXE";
    kvtest::WriteBytes(InFileName, kAbc);
    kvtest::WriteBytes(OutFileName, kvtest::ToBytes("old"));
    std::string expected = c.text;
    if (c.holdInput) {
      expected.replace(0, 4, InFileName);
    } else {
      expected.replace(expected.find("<out>"), 5, OutFileName);
    }
    {
      const kv::FileHandle held = HoldOpen(c.holdInput ? InFileName : OutFileName);
      ASSERT_TRUE(held);
      try {
        ExpandOrRaise();
        ADD_FAILURE() << "expansion succeeded";
      } catch (const std::exception& e) {
        EXPECT_EQ(e.what(), expected);
      }
      EXPECT_EQ(Expand(), -1);
    }
    EXPECT_EQ(kvtest::ReadBytes(OutFileName), kvtest::ToBytes("old"));
    EXPECT_EQ(dir.Entries().size(), 2u) << "no temporary file may be left";
  }
}

}  // namespace
