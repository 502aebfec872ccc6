// Shared files in the Windows directory against the registry's use counts
// and this install's records of them: counts of every kind the registry may
// hold, a file listed twice in two spellings, and one held open when its
// count would reach zero.
#include "engine/program_group.h"
#include "engine/shared_file.h"
#include "system/ascii_case.h"
#include "system/handles.h"
#include "system/helpers.h"
#include "system/registry.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const char kEntry[] = "KvTest.SharedFiles";

// A registry value as it is stored: its type and bytes; type REG_NONE with no
// bytes for no value.
struct RawValue {
  DWORD type = REG_NONE;
  std::string bytes;
  bool operator==(const RawValue& o) const { return type == o.type && bytes == o.bytes; }
};
void PrintTo(const RawValue& v, std::ostream* os) { *os << "type " << v.type << ", " << v.bytes.size() << " bytes"; }

RawValue Dword(unsigned long n) {
  const DWORD value = n;
  return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

RawValue ReadRaw(const std::string& path) {
  kv::RegKey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey + 1, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return {};
  RawValue raw;
  char bytes[64];
  DWORD size = sizeof bytes;
  if (::RegQueryValueExA(key.Get(), path.c_str(), nullptr, &raw.type, reinterpret_cast<BYTE*>(bytes), &size) !=
      ERROR_SUCCESS)
    return {};
  raw.bytes.assign(bytes, size);
  return raw;
}

void WriteRaw(const std::string& path, const RawValue& raw) {
  wine_test::SetSharedCount(path, std::nullopt);
  if (raw.type == REG_NONE) return;
  kv::RegKey key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey + 1, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.Receive(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExA(key.Get(), path.c_str(), 0, raw.type, reinterpret_cast<const BYTE*>(raw.bytes.data()),
                             static_cast<DWORD>(raw.bytes.size())),
            ERROR_SUCCESS);
}

TEST(SharedFile, CountedAtInstallReleasedAtUninstall) {
  const RawValue none;
  const RawValue text{REG_SZ, std::string("3\0", 2)};
  const RawValue binary{REG_BINARY, std::string("\x03\0\0\0", 4)};
  const RawValue qword{REG_QWORD, std::string("\x03\0\0\0\0\0\0\0", 8)};
  const RawValue shortDword{REG_DWORD, std::string("\x03\0", 2)};
  const struct {
    const char* name;
    bool there;       // before the install
    RawValue before;  // its count then
    RawValue counted; // after the install, which lists it twice
    RawValue after;   // after the uninstall
    bool stays;
  } cases[] = {
      {"kvshared-andere.dll", true, Dword(1), Dword(2), Dword(1), true},
      {"kvshared-ungezaehlt.dll", true, none, Dword(2), Dword(1), true},
      {"kvshared-null.dll", true, Dword(0), Dword(2), Dword(1), true},
      {"kvshared-eigen.dll", false, none, Dword(1), none, false},
      {"kvshared-voll.dll", true, Dword(0xFFFFFFFF), Dword(0xFFFFFFFF), Dword(0xFFFFFFFF), true},
      {"kvshared-text.dll", true, text, text, text, true},
      {"kvshared-binaer.dll", true, binary, binary, binary, true},
      {"kvshared-qword.dll", true, qword, qword, qword, true},
      {"kvshared-kurz.dll", true, shortDword, shortDword, shortDword, true},
  };
  const std::string uninstaller = "C:\\kvtest\\Geteilt\\Uninstal.exe";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = AddBackslash(GetWindowsDir()) + c.name;
    ::DeleteFileA(path.c_str());
    if (c.there) kvtest::WriteBytes(path, "vorher");
    WriteRaw(path, c.before);
    kvtest::WriteBytes(path, "neu");
    CountSharedFile(path, c.there, kEntry, uninstaller);
    // The same file again, as the log spells it: the registry compares
    // names as the file system does.
    CountSharedFile(AsciiLowerCase(path), true, kEntry, uninstaller);
    EXPECT_EQ(ReadRaw(path), c.counted);
    const SharedFileRecords records = ReadSharedFileRecords(kEntry);
    EXPECT_EQ(records.uninstaller, uninstaller);
    EXPECT_EQ(records.files.size(), c.counted == c.before ? 0u : 1u);
    for (const std::string& file : records.files) EXPECT_TRUE(ReleaseSharedFile(kEntry, file));
    EXPECT_EQ(ReadRaw(path), c.after);
    EXPECT_EQ(FileExists(path), c.stays);
    EXPECT_TRUE(ReadSharedFileRecords(kEntry).files.empty());
    // Nothing recorded any more: the records and the entry they made go.
    ForgetSharedFileRecords(kEntry);
    EXPECT_TRUE(ReadSharedFileRecords(kEntry).uninstaller.empty());
    EXPECT_FALSE(OpenMachineKeyToRead(UninstallKeyPath(kEntry)));
    WriteRaw(path, none);
    ::DeleteFileA(path.c_str());
  }
}

// A file in use when its count would reach zero keeps its count and its
// record, so that a later run can finish; and nothing is counted where no
// record can be kept.
TEST(SharedFile, InUseKeepsItsCountAndRecord) {
  const std::string path = AddBackslash(GetWindowsDir()) + "kvshared-benutzt.dll";
  ::DeleteFileA(path.c_str());
  wine_test::SetSharedCount(path, std::nullopt);
  kvtest::WriteBytes(path, "neu");
  CountSharedFile(path, false, "", "C:\\kvtest\\Uninstal.exe");
  EXPECT_EQ(wine_test::SharedCount(path), std::nullopt) << "no entry name, no record, no count";
  CountSharedFile(path, false, kEntry, "C:\\kvtest\\Uninstal.exe");
  ASSERT_EQ(wine_test::SharedCount(path), 1u);
  {
    const kv::FileHandle held = wine_test::HoldOpen(path);
    ASSERT_TRUE(held);
    EXPECT_FALSE(ReleaseSharedFile(kEntry, path));
    EXPECT_EQ(wine_test::SharedCount(path), 1u);
    EXPECT_EQ(ReadSharedFileRecords(kEntry).files.size(), 1u);
    ForgetSharedFileRecords(kEntry);
    EXPECT_EQ(ReadSharedFileRecords(kEntry).files.size(), 1u) << "a record still held is not forgotten";
  }
  EXPECT_TRUE(ReleaseSharedFile(kEntry, path));
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(wine_test::SharedCount(path), std::nullopt);
  ForgetSharedFileRecords(kEntry);
  EXPECT_FALSE(OpenMachineKeyToRead(UninstallKeyPath(kEntry)));
}

}  // namespace
