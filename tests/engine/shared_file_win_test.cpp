// Shared files in the Windows directory against the registry's use counts:
// one counted by another product, one there before without a count, one
// this product placed alone, one held open when its count would reach
// zero, and counts that are no number or at their highest. Each is listed
// twice, as placed and as the log spells it.
#include "system/ascii_case.h"
#include "engine/program_group.h"
#include "engine/shared_file.h"
#include "system/helpers.h"
#include "system/registry.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

namespace {

using wine_test::SetSharedCount;

// A count as the registry stores it: type and bytes; REG_NONE for none.
using Raw = std::pair<DWORD, std::string>;
Raw Dword(DWORD n) { return {REG_DWORD, std::string(reinterpret_cast<const char*>(&n), sizeof n)}; }

Raw ReadRaw(HKEY key, const std::string& path) {
  Raw raw{REG_NONE, std::string(16, '\0')};
  DWORD size = 16;
  if (::RegQueryValueExA(key, path.c_str(), nullptr, &raw.first, reinterpret_cast<BYTE*>(&raw.second[0]), &size))
    return {REG_NONE, ""};
  raw.second.resize(size);
  return raw;
}

TEST(SharedFile, CountedAtInstallReleasedAtUninstall) {
  const char kEntry[] = "KvTest.SharedFiles";
  const Raw none{REG_NONE, ""}, text{REG_SZ, std::string("3", 2)}, binary{REG_BINARY, std::string("\3\0\0\0", 4)},
      qword{REG_QWORD, std::string("\3\0\0\0\0\0\0\0", 8)}, shortDword{REG_DWORD, std::string("\3", 2)};
  const struct {
    const char* name;
    bool there;    // before the install
    Raw before;    // its count then
    Raw counted;   // after the install
    bool held;     // open at the uninstall: it stays counted until a later run
    Raw after;     // after the uninstall
    bool stays;
  } cases[] = {
      {"kvshared-andere.dll", true, Dword(1), Dword(2), false, Dword(1), true},
      {"kvshared-ungezaehlt.dll", true, none, Dword(2), false, Dword(1), true},
      {"kvshared-eigen.dll", false, none, Dword(1), false, none, false},
      {"kvshared-benutzt.dll", false, none, Dword(1), true, none, false},
      {"kvshared-voll.dll", true, Dword(0xFFFFFFFF), Dword(0xFFFFFFFF), false, Dword(0xFFFFFFFF), true},
      {"kvshared-text.dll", true, text, text, false, text, true},
      {"kvshared-binaer.dll", true, binary, binary, false, binary, true},
      {"kvshared-qword.dll", true, qword, qword, false, qword, true},
      {"kvshared-kurz.dll", true, shortDword, shortDword, false, shortDword, true},
  };
  const kv::RegKey counts = OpenMachineKey(kSharedDllsKey, true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = AddBackslash(GetWindowsDir()) + c.name;
    ::DeleteFileA(path.c_str());
    if (c.there) kvtest::WriteBytes(path, "vorher");
    ::RegDeleteValueA(counts.Get(), path.c_str());
    if (c.before != none)
      ::RegSetValueExA(counts.Get(), path.c_str(), 0, c.before.first,
                       reinterpret_cast<const BYTE*>(c.before.second.data()), static_cast<DWORD>(c.before.second.size()));
    kvtest::WriteBytes(path, "neu");
    for (const std::string& spelling : {path, AsciiLowerCase(path)})
      CountSharedFile(spelling, c.there, kEntry, "C:\\kvtest\\Uninstal.exe");
    EXPECT_EQ(ReadRaw(counts.Get(), path), c.counted);
    const std::vector<std::string> recorded = ReadSharedFileRecords(kEntry).files;
    EXPECT_EQ(recorded.size(), c.counted == c.before ? 0u : 1u);
    if (c.held) {
      const kv::FileHandle held = wine_test::HoldOpen(path);
      EXPECT_FALSE(ReleaseSharedFile(kEntry, path));
      EXPECT_EQ(ReadRaw(counts.Get(), path), c.counted);
      ForgetSharedFileRecords(kEntry);
      EXPECT_EQ(ReadSharedFileRecords(kEntry).files, recorded);
    }
    for (const std::string& file : recorded) EXPECT_TRUE(ReleaseSharedFile(kEntry, file));
    EXPECT_EQ(ReadRaw(counts.Get(), path), c.after);
    EXPECT_EQ(FileExists(path), c.stays);
    // Nothing recorded any more: the records go, and the entry they made.
    ForgetSharedFileRecords(kEntry);
    EXPECT_FALSE(OpenMachineKeyToRead(UninstallKeyPath(kEntry)));
    SetSharedCount(path, std::nullopt);
    ::DeleteFileA(path.c_str());
  }
}

}  // namespace
