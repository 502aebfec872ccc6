// What only the Win32 file layer shows: the replacement Windows 9x takes,
// and targets in folders up to the longest path Windows allows.
#include "decompress/compress.h"
#include "decompress/file_io_win.h"

#include "system/handles.h"
#include "tests/decompress/test_files.h"

#include <gtest/gtest.h>

namespace {

using kvtest::Bytes;

const Bytes kAbc = {0x21, 0x48, 0x5A, 0x4C, 0x03, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xE0};

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

kv::FileHandle HoldOpen(const std::string& path) {
  return kv::FileHandle(
      ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(ReplaceByRenaming, TheEarlierFileStaysUntilTheNewOneIsInPlace) {
  const struct {
    const char* name;
    bool earlier;
    enum { None, HoldNew, HoldEarlier, ReadOnlyEarlier } obstacle;
    bool replaced;
  } cases[] = {
      {"no earlier file", false, cases[0].None, true},
      {"earlier file", true, cases[0].None, true},
      {"the new file cannot be moved: the earlier one goes back", true, cases[0].HoldNew, false},
      {"the earlier file is in use", true, cases[0].HoldEarlier, false},
      {"the earlier file is read-only", true, cases[0].ReadOnlyEarlier, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    kvtest::TempDir dir;
    const std::string from = dir / "new.tmp", to = dir / "PROG.EXE";
    kvtest::WriteBytes(from, kvtest::ToBytes("new"));
    if (c.earlier) kvtest::WriteBytes(to, kvtest::ToBytes("earlier"));
    if (c.obstacle == c.ReadOnlyEarlier) ::SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY);
    {
      const kv::FileHandle held = c.obstacle == c.HoldNew       ? HoldOpen(from)
                                  : c.obstacle == c.HoldEarlier ? HoldOpen(to)
                                                                : kv::FileHandle();
      EXPECT_EQ(kv::ReplaceByRenaming(from, to), c.replaced);
    }
    EXPECT_EQ(kvtest::ReadBytes(to), kvtest::ToBytes(c.replaced ? "new" : "earlier"));
    EXPECT_EQ(kvtest::Exists(from), !c.replaced);
    EXPECT_EQ(dir.Entries().size(), c.replaced ? 1u : 2u) << "nothing may be left aside";
    ::SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// A folder below base whose path has exactly length characters.
std::string FolderOfLength(const std::string& base, std::size_t length) {
  std::string path = base;
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
        const std::string folder = FolderOfLength(dir.Path(), folderLength);
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
  const std::string folder = FolderOfLength(dir.Path(), 258);
  ASSERT_EQ(folder.size(), 258u);
  InFileName = dir / "IN.EX_";
  OutFileName = folder + "\\x";
  kvtest::WriteBytes(InFileName, kAbc);
  EXPECT_EQ(Expand(), -1);
  EXPECT_EQ(EntriesIn(folder), 0u);
}

}  // namespace
