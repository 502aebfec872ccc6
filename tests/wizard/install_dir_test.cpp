// Which install directories pass the directory check by their name.
#include "wizard/install_dir.h"

#include "tests/support/print_enums.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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
      {"c:\\programme\\\\", true, false},
      {"c:\\Program Files. \\", true, false},
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

// The spellings a user, a list or a command line may give one directory, and
// the one name Windows gives it.
TEST(InstallDirName, CanonicalForm) {
  const struct {
    const char* typed;
    const char* canonical;
  } rows[] = {
      {"C:\\Programme\\Demo", "C:\\Programme\\Demo"},
      {"C:/Programme/Demo2", "C:\\Programme\\Demo2"},
      {"C:\\Programme\\\\Demo3", "C:\\Programme\\Demo3"},
      {"C:\\Programme\\Demo. . ", "C:\\Programme\\Demo"},
      {"C:\\Programme. \\Demo.\\", "C:\\Programme\\Demo"},
      {"C:\\Programme\\Alt\\..\\Demo", "C:\\Programme\\Demo"},
      {"C:\\..\\Demo", "C:\\Demo"},
      {"C:\\Programme\\ Demo", "C:\\Programme\\ Demo"},  // leading blanks are part of the name
      {"c:\\büro\\", "c:\\büro"},                       // letter case stays
      {"C:\\", "C:\\"},
      {"C:\\\\", "C:\\"},
      {"//server/share//Demo", "\\\\server\\share\\Demo"},
      {"\\\\server\\share\\..\\..\\Demo", "\\\\server\\share\\Demo"},
      {"\\Programme\\Demo\\", "\\Programme\\Demo"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed);
    EXPECT_EQ(CanonicalInstallPath(row.typed), row.canonical);
  }
}

}  // namespace

namespace {

// A disk of folders that exist, can be made and can be written, and a user
// with one answer.
struct FakeDisk final : DirectoryFacts {
  std::set<std::string> existing, makeable, writable;
  bool answer = true;
  std::vector<std::string> asked, made;

  bool Exists(const std::string& d) override { return existing.count(d) > 0; }
  bool Writable(const std::string& d) override { return existing.count(d) > 0 && writable.count(d) > 0; }
  void Create(const std::string& d) override {
    made.push_back(d);
    if (makeable.count(d)) existing.insert(d);
  }
  bool AgreesToCreate() override {
    asked.push_back("Erstellen?");
    return answer;
  }
};

TEST(InstallDirCheck, NextOnTheDirectoryPage) {
  const std::string account = "C:\\users\\hans";
  const std::string fallback = "C:\\users\\hans\\Demo";
  using V = DirectoryVerdict;
  struct Row {
    const char* what;
    std::string entered;
    std::set<std::string> existing, makeable, writable;
    bool createWithoutAsking, autoMode, answer;
    V verdict;
    std::string path;
    std::vector<std::string> asked, made;
  } rows[] = {
      {"a drive's root", "C:\\", {}, {}, {}, true, false, true, V::RootRefused, "C:\\", {}, {}},
      {"there and writable", "C:\\Demo", {"C:\\Demo"}, {}, {"C:\\Demo"}, false, false, true, V::Accepted, "C:\\Demo",
       {}, {}},
      {"missing: asked, made", "C:\\Demo", {}, {"C:\\Demo"}, {"C:\\Demo"}, false, false, true, V::Accepted,
       "C:\\Demo", {"Erstellen?"}, {"C:\\Demo"}},
      {"missing: declined", "C:\\Demo", {}, {"C:\\Demo"}, {"C:\\Demo"}, false, false, false, V::CreationDeclined,
       "C:\\Demo", {"Erstellen?"}, {}},
      {"missing: made unasked", "C:\\Demo", {}, {"C:\\Demo"}, {"C:\\Demo"}, true, false, true, V::Accepted,
       "C:\\Demo", {}, {"C:\\Demo"}},
      {"cannot be made", "C:\\Demo", {}, {}, {}, true, false, true, V::Unusable, "C:\\Demo", {}, {"C:\\Demo"}},
      {"not writable", "C:\\Demo", {"C:\\Demo"}, {}, {}, false, false, true, V::Unusable, "C:\\Demo", {}, {}},
      {"relative: never made", "Demo\\x", {}, {"Demo\\x"}, {"Demo\\x"}, true, false, true, V::Unusable, "Demo\\x",
       {}, {}},
      {"the programs folder", "C:\\Programme\\", {"C:\\Programme"}, {}, {"C:\\Programme"}, false, false, true,
       V::Unusable, "C:\\Programme", {}, {}},
      {"automatic, not writable: the fallback", "C:\\Demo", {"C:\\Demo"}, {fallback}, {fallback}, false, true, true,
       V::Accepted, fallback, {}, {fallback}},
      {"automatic, relative: the fallback", "Demo", {}, {fallback}, {fallback}, true, true, true, V::Accepted,
       fallback, {}, {fallback}},
      {"automatic, relative, a writable folder of that name: the fallback all the same", "Demo", {"Demo"},
       {fallback}, {"Demo", fallback}, true, true, true, V::Accepted, fallback, {}, {fallback}},
      {"automatic, writable: kept", "C:\\Demo", {}, {"C:\\Demo"}, {"C:\\Demo"}, true, true, true, V::Accepted,
       "C:\\Demo", {}, {"C:\\Demo"}},
      {"spelt with \"/\" and doubled separators", "C:/Demo\\\\", {}, {"C:\\Demo"}, {"C:\\Demo"}, true, false, true,
       V::Accepted, "C:\\Demo", {}, {"C:\\Demo"}},
      {"automatic, the fallback fails too", "C:\\Demo", {"C:\\Demo"}, {}, {}, false, true, true, V::Unusable,
       fallback, {}, {fallback}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeDisk disk;
    disk.existing = row.existing;
    disk.makeable = row.makeable;
    disk.writable = row.writable;
    disk.answer = row.answer;
    const DirectoryCheck check = CheckInstallDirectory(row.entered, account, row.createWithoutAsking, row.autoMode, disk);
    EXPECT_EQ(check.verdict, row.verdict);
    EXPECT_EQ(check.path, row.path);
    EXPECT_EQ(disk.asked, row.asked);
    EXPECT_EQ(disk.made, row.made);
  }
  EXPECT_EQ(FallbackFolderIn("C:\\users\\hans\\", "E:\\Apps\\Demo"), "C:\\users\\hans\\Demo");
  EXPECT_EQ(LastPathComponent("Demo"), "Demo");
}

}  // namespace
