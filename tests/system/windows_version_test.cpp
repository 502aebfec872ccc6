// Version names and the administrator test against what Wine reports for
// each Windows version it can pretend to be. Each version needs its own
// process (Wine fixes the version at process start), so the probe program is
// started under a name of its own with a per-program version setting.
#include "system/helpers.h"
#include "system/administrator.h"
#include "system/handles.h"
#include "system/seam.h"
#include "system/win.h"
#include "tests/support/test_files.h"
#include "tests/support/test_thread.h"
#include "tests/support/wine_support.h"
#include "tests/system/probe_output.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct VersionCase {
  const char* wineSetting;
  const char* name;
  bool nt;
};

TEST(WindowsVersion, EachVersionWineReports) {
  const std::vector<VersionCase> cases = {
      {"win95", "Windows 95", false},      {"win98", "Windows 98SE", false},  // Wine's 98 has CSD " A "
      {"winme", "Windows ME", false},      {"nt351", "Windows NT", true},
      {"nt40", "Windows NT", true},        {"win2k", "Windows 2000", true},
      {"winxp", "Windows XP", true},       {"win2003", "Unknown", true},  // 5.2
      {"vista", "Windows Vista", true},    {"win7", "Windows Vista", true},  // 6.1
      // Windows 8 and later report 6.2 to a program without a compatibility manifest.
      {"win10", "Windows Vista", true},
  };
  kvtest::TempDir dir;
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(c.wineSetting);
    const std::string exeName = std::string("probe_") + c.wineSetting + ".exe";
    ASSERT_TRUE(::CopyFileA(ProbePath().c_str(), (dir.Path() + exeName).c_str(), FALSE));
    wine_test::SetReportedVersion(exeName, c.wineSetting);
    const auto facts = ParseProbe(wine_test::Run("\"" + dir.Path() + exeName + "\"").output);
    wine_test::SetReportedVersion(exeName, "");
    EXPECT_EQ(facts.at("version"), c.name);
    EXPECT_EQ(facts.at("nt"), c.nt ? "1" : "0");
    // Wine's token always lists the Administrators group, but the 9x family
    // has no accounts: the test must answer no there before asking the token.
    EXPECT_EQ(facts.at("admin"), c.nt ? "1" : "0");
  }
}

TEST(WindowsVersion, TableRowsThroughTheSeam) {
  struct Row {
    SimulatedWindowsVersion version;
    const char* name;
  };
  const std::vector<Row> rows = {
      {{1, 4, 0, ""}, "Windows 95"},       {{1, 4, 10, " A "}, "Windows 98SE"},
      {{1, 4, 10, ""}, "Windows 98"},      {{1, 4, 10, "A"}, "Windows 98"},  // the second character counts
      {{1, 4, 90, " "}, "Windows ME"},     {{1, 4, 3, ""}, "Unknown"},
      {{1, 5, 0, ""}, "Unknown"},          {{2, 3, 51, ""}, "Windows NT"},
      {{2, 4, 0, "Service Pack 6a"}, "Windows NT"}, {{2, 5, 0, ""}, "Windows 2000"},
      {{2, 5, 1, ""}, "Windows XP"},       {{2, 5, 2, ""}, "Unknown"},
      {{2, 6, 0, ""}, "Windows Vista"},    {{2, 6, 1, ""}, "Windows Vista"},
      {{2, 10, 0, ""}, "Unknown"},         {{0, 3, 10, ""}, "Unknown"},  // Win32s
      {{3, 5, 1, ""}, "Unknown"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.version.platformId) + " " + std::to_string(row.version.major) + "." +
                 std::to_string(row.version.minor) + " \"" + row.version.csdVersion + "\"");
    seam::SimulateWindowsVersion(&row.version);
    EXPECT_EQ(GetWindowsVersionName(), row.name);
    EXPECT_EQ(IsWindowsNT(), row.version.platformId == 2);
    EXPECT_EQ(IsAdministrator(), row.version.platformId == 2);
  }
  seam::SimulateWindowsVersion(nullptr);
}

kv::AllocatedSid MakeSid(SID_IDENTIFIER_AUTHORITY authority, std::vector<DWORD> subAuthorities) {
  const auto count = static_cast<BYTE>(subAuthorities.size());
  subAuthorities.resize(8, 0);
  kv::AllocatedSid sid;
  EXPECT_TRUE(::AllocateAndInitializeSid(&authority, count, subAuthorities[0], subAuthorities[1], subAuthorities[2],
                                         subAuthorities[3], subAuthorities[4], subAuthorities[5], subAuthorities[6],
                                         subAuthorities[7], sid.Receive()));
  return sid;
}

TEST(Administrator, DecisionOverTheGroupList) {
  const SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  const SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  const kv::AllocatedSid administrators = MakeSid(nt, {32, 544});
  const kv::AllocatedSid users = MakeSid(nt, {32, 545});
  const kv::AllocatedSid everyone = MakeSid(world, {0});
  const kv::AllocatedSid otherAuthority = MakeSid(world, {32, 544});
  const kv::AllocatedSid longer = MakeSid(nt, {32, 544, 1});
  constexpr DWORD kEnabled = SE_GROUP_ENABLED | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_MANDATORY;
  constexpr DWORD kDenyOnly = SE_GROUP_USE_FOR_DENY_ONLY;
  struct Case {
    const char* what;
    std::vector<SID_AND_ATTRIBUTES> groups;
    bool expected;
  };
  const std::vector<Case> cases = {
      {"no groups", {}, false},
      {"users and everyone", {{users.Get(), kEnabled}, {everyone.Get(), kEnabled}}, false},
      {"administrators among others", {{users.Get(), kEnabled}, {administrators.Get(), kEnabled}}, true},
      {"administrators not enabled", {{administrators.Get(), 0}}, true},
      {"administrators for deny only", {{users.Get(), kEnabled}, {administrators.Get(), kDenyOnly}}, true},
      {"deny only, the other flags set", {{administrators.Get(), kEnabled | kDenyOnly | SE_GROUP_OWNER}}, true},
      {"same numbers, other authority", {{otherAuthority.Get(), kEnabled}}, false},
      {"one more sub-authority", {{longer.Get(), kEnabled}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(GroupsListAdministrators(c.groups.data(), c.groups.size()), c.expected);
  }
}

// Runs IsAdministrator on a thread that impersonates token (duplicated for
// impersonation), so the thread-token branch of the real walk is taken.
bool IsAdministratorImpersonating(HANDLE token) {
  kv::KernelHandle impersonation;
  EXPECT_TRUE(::DuplicateToken(token, SecurityImpersonation, impersonation.Receive()));
  bool answer = true;
  wine_test::TestThread thread([&] {
    EXPECT_TRUE(::SetThreadToken(nullptr, impersonation.Get()));
    answer = IsAdministrator();
    ::RevertToSelf();
  });
  thread.Join();
  return answer;
}

TEST(Administrator, RealTokenWalk) {
  // Wine runs every program as an administrator: the process token, read
  // when the thread has no token of its own, grants the group.
  EXPECT_TRUE(IsAdministrator());

  kv::KernelHandle process;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, process.Receive()));
  EXPECT_TRUE(IsAdministratorImpersonating(process.Get()));

  // A restricted token keeps the group, for deny only, and still counts.
  const SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  const kv::AllocatedSid administrators = MakeSid(nt, {32, 544});
  SID_AND_ATTRIBUTES disable = {administrators.Get(), 0};
  kv::KernelHandle restricted;
  ASSERT_TRUE(
      ::CreateRestrictedToken(process.Get(), 0, 1, &disable, 0, nullptr, 0, nullptr, restricted.Receive()));
  EXPECT_TRUE(IsAdministratorImpersonating(restricted.Get()));
}

TEST(Administrator, RestrictedAccountSeam) {
  seam::SimulateRestrictedAccount(true);
  EXPECT_FALSE(IsAdministrator());
  seam::SimulateRestrictedAccount(false);
  EXPECT_TRUE(IsAdministrator());
}

}  // namespace
