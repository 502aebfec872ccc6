// Forced deletion, tree deletion and the timed waits, against real files and
// real window messages under Wine.
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/handles.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kvtest::WriteBytes;

TEST(DeleteFileForced, ClearsOnlyReadOnly) {
  kvtest::TempDir dir;
  const std::vector<std::pair<const char*, DWORD>> cases = {
      {"plain.txt", FILE_ATTRIBUTE_NORMAL},
      {"readonly.txt", FILE_ATTRIBUTE_READONLY},
      {"hidden.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY},
      {"system.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE},
  };
  for (const auto& [name, attributes] : cases) {
    SCOPED_TRACE(name);
    const std::string path = dir.Path() + name;
    WriteBytes(path, "data");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), attributes));
    EXPECT_TRUE(DeleteFileForced(path));
    EXPECT_FALSE(FileExists(path));
  }
  EXPECT_FALSE(DeleteFileForced(dir.Path() + "missing.txt"));
}

TEST(DeleteFileForced, FileInUseStays) {
  kvtest::TempDir dir;
  const std::string path = dir.Path() + "busy.txt";
  WriteBytes(path, "data");
  kv::FileHandle held(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  EXPECT_FALSE(DeleteFileForced(path));
  EXPECT_TRUE(FileExists(path));
}

// Builds a\b\c with files on every level; returns the root.
std::string MakeTree(const std::string& root) {
  for (const char* d : {"", "a\\", "a\\b\\", "a\\b\\c\\", "x\\"}) {
    ForceDirectories(root + d);
    WriteBytes(root + d + "file.txt", d);
  }
  return root;
}

TEST(DeleteDirTree, Trees) {
  struct Case {
    const char* what;
    void (*prepare)(const std::string& root, std::vector<kv::FileHandle>& held);
    std::vector<const char*> staying;  // relative to the root; empty: the tree is gone
  };
  const std::vector<Case> cases = {
      {"plain nested tree", [](const std::string&, std::vector<kv::FileHandle>&) {}, {}},
      {"deepest file read-only, others hidden and system",
       [](const std::string& root, std::vector<kv::FileHandle>&) {
         ::SetFileAttributesA((root + "a\\b\\c\\file.txt").c_str(), FILE_ATTRIBUTE_READONLY);
         ::SetFileAttributesA((root + "a\\file.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
         ::SetFileAttributesA((root + "x\\file.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
       },
       {}},
      {"a file held open stays with its parents",
       [](const std::string& root, std::vector<kv::FileHandle>& held) {
         held.emplace_back(::CreateFileA((root + "a\\b\\file.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         0, nullptr));
       },
       {"a\\b\\file.txt"}},
      {"names that begin with a dot go like the rest",
       [](const std::string& root, std::vector<kv::FileHandle>&) {
         ForceDirectories(root + "a\\.svn");
         WriteBytes(root + "a\\.svn\\entries", "x");
         WriteBytes(root + "a\\.profile", "x");
       },
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kvtest::TempDir dir;
    const std::string root = MakeTree(dir.Path() + "tree\\");
    std::vector<kv::FileHandle> held;
    c.prepare(root, held);
    DeleteDirTree(root);
    if (c.staying.empty()) {
      EXPECT_FALSE(DirectoryExists(root));
      continue;
    }
    for (const char* keep : c.staying) {
      EXPECT_TRUE(FileExists(root + keep)) << keep;
      EXPECT_TRUE(DirectoryExists(root));
    }
    // Everything that was not in the way is gone.
    EXPECT_FALSE(FileExists(root + "file.txt"));
    EXPECT_FALSE(DirectoryExists(root + "x"));
    EXPECT_FALSE(FileExists(root + "a\\b\\c\\file.txt"));
  }
}

TEST(DeleteDirTree, MissingDirectoryIsNoError) {
  kvtest::TempDir dir;
  // Nothing beside the missing folder is touched, not even names that begin
  // like it, and nothing is created.
  const std::string keptFile = dir.Path() + "gone.txt";
  const std::string keptTree = dir.Path() + "gone-not\\file.txt";
  WriteBytes(keptFile, "keep");
  ForceDirectories(dir.Path() + "gone-not");
  WriteBytes(keptTree, "keep");
  for (const std::string& missing : {dir.Path() + "gone", dir.Path() + "gone\\", dir.Path() + "gone\\deeper"}) {
    SCOPED_TRACE(missing);
    DeleteDirTree(missing);
    EXPECT_FALSE(DirectoryExists(dir.Path() + "gone"));  // nothing was created
    EXPECT_TRUE(FileExists(keptFile));
    EXPECT_TRUE(FileExists(keptTree));
  }
}

LRESULT CALLBACK CountingWndProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_APP) ++*reinterpret_cast<int*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
  return ::DefWindowProcA(wnd, msg, w, l);
}

class PostedMessageCounter {
public:
  PostedMessageCounter() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingWndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "KvWaitTest";
    ::RegisterClassA(&wc);
    wnd_ = ::CreateWindowA("KvWaitTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count_));
  }
  ~PostedMessageCounter() { ::DestroyWindow(wnd_); }
  void Post() { ::PostMessageA(wnd_, WM_APP, 0, 0); }
  int Count() const { return count_; }

private:
  HWND wnd_ = nullptr;
  int count_ = 0;
};

TEST(Waits, DurationsAndMessages) {
  PostedMessageCounter counter;

  DWORD start = ::GetTickCount();
  WaitMs(0, false);
  EXPECT_GT(::GetTickCount() - start, 0u);  // returns once the tick count has advanced

  counter.Post();
  start = ::GetTickCount();
  WaitMs(100, false);
  EXPECT_GT(::GetTickCount() - start, 100u);
  EXPECT_EQ(counter.Count(), 0);  // no pumping asked for

  start = ::GetTickCount();
  WaitMs(100, true);
  EXPECT_GT(::GetTickCount() - start, 100u);
  EXPECT_EQ(counter.Count(), 1);

  counter.Post();
  start = ::GetTickCount();
  DelayMs(700);
  EXPECT_GT(::GetTickCount() - start, 700u);
  EXPECT_EQ(counter.Count(), 2);

  counter.Post();
  DelayMs(0);  // messages are processed at least once
  EXPECT_EQ(counter.Count(), 3);
}

}  // namespace
