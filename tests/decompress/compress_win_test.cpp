// What only the Win32 build shows: files held open by someone else, and
// targets in folders up to the longest path Windows allows.
#include "decompress/compress.h"

#include "system/handles.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

namespace {

const kvtest::Bytes kAbc = {0x21, 0x48, 0x5A, 0x4C, 0x03, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xE0};

std::size_t EntriesIn(const std::string& folder) {
  std::size_t n = 0;
  WIN32_FIND_DATAA entry;
  kv::FindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &entry));
  if (find) {
    do {
      n += entry.cFileName[0] != '.';
    } while (::FindNextFileA(find.Get(), &entry));
  }
  return n;
}

using wine_test::HoldOpen;

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

// A folder inside dir whose path has exactly length characters.
std::string FolderOfLength(const kvtest::TempDir& dir, std::size_t length) {
  std::string path = dir.Path().substr(0, dir.Path().size() - 1);
  while (path.size() < length) {
    const std::size_t rest = length - path.size();
    std::size_t part = rest - 1;
    if (part > 100) part = rest - 101 >= 2 ? 100 : 90;  // never leave room for "\" alone
    path += "\\" + std::string(part, 'd');
    if (!::CreateDirectoryA(path.c_str(), nullptr)) return {};
  }
  return path;
}

// Temporary names are the expansion's own: GetTempFileNameA refuses folders
// of more than 246 characters, and Wine garbles or crashes on them.
TEST(ExpandWin, TargetsUpToTheLongestPath) {
  for (const std::size_t folderLength : {200u, 240u, 245u, 246u, 247u, 248u, 250u, 252u, 255u, 256u, 257u}) {
    for (const bool earlier : {false, true}) {
      for (const std::size_t nameLength : {std::size_t{1}, std::size_t{5}, 258 - folderLength}) {
        if (nameLength > 258 - folderLength) continue;
        SCOPED_TRACE("folder of " + std::to_string(folderLength) + " characters, name of " +
                     std::to_string(nameLength) + (earlier ? ", over an earlier file" : ""));
        kvtest::TempDir dir;
        const std::string folder = FolderOfLength(dir, folderLength);
        ASSERT_EQ(folder.size(), folderLength);
        InFileName = dir / "IN.EX_";
        OutFileName = folder + "\\" + std::string(nameLength, nameLength == 1 ? '0' : 'n');
        kvtest::WriteBytes(InFileName, kAbc);
        if (earlier) kvtest::WriteBytes(OutFileName, kvtest::ToBytes("earlier"));
        EXPECT_EQ(Expand(), 1);
        EXPECT_EQ(kvtest::ReadBytes(OutFileName), kvtest::ToBytes("abc"));
        EXPECT_EQ(EntriesIn(folder), 1u) << "no temporary file may be left";
      }
    }
  }
}

TEST(ExpandWin, ATargetPastTheLongestPathFailsAndLeavesNothing) {
  kvtest::TempDir dir;
  const std::string folder = FolderOfLength(dir, 258);
  ASSERT_EQ(folder.size(), 258u);
  InFileName = dir / "IN.EX_";
  OutFileName = folder + "\\x";
  kvtest::WriteBytes(InFileName, kAbc);
  EXPECT_EQ(Expand(), -1);
  EXPECT_EQ(EntriesIn(folder), 0u);
}

}  // namespace
