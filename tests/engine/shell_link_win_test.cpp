// Shortcut files written and read back through the shell's own link objects.
#include "engine/shell_link.h"
#include "system/helpers.h"
#include "system/handles.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr char kNotALink[] = "NOT a shortuct by extension!";

struct LinkView {
  std::string target, description, workingDir;
  int showCommand = 0;
};

// Reads a link with the shell's object directly, not through the code under test.
LinkView ReadLink(const std::string& path) {
  const kv::ComScope com;
  kv::ComPtr<IShellLinkA> link;
  kv::ComPtr<IPersistFile> file;
  LinkView view;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Receive()))) ||
      FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))))
    return view;
  WCHAR wide[MAX_PATH];
  ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  if (FAILED(file.Get()->Load(wide, STGM_READ))) return view;
  char text[MAX_PATH] = {};
  link.Get()->GetPath(text, MAX_PATH, nullptr, 0);
  view.target = text;
  link.Get()->GetDescription(text, MAX_PATH);
  view.description = text;
  link.Get()->GetWorkingDirectory(text, MAX_PATH);
  view.workingDir = text;
  // Wine's link object does not hand the show command back: read it from the
  // file's header (a 32-bit field at offset 0x3C).
  std::ifstream in(path, std::ios::binary);
  in.seekg(0x3C);
  in.read(reinterpret_cast<char*>(&view.showCommand), sizeof view.showCommand);
  return view;
}

class ShellLink : public ::testing::Test {
protected:
  kvtest::TempDir dir_;
  const std::string program_ = dir_.Path() + "Programm";

  void SetUp() override {
    ASSERT_TRUE(ForceDirectories(program_));
    kvtest::WriteBytes(program_ + "\\Demo.exe", "MZ");
    kvtest::WriteBytes(program_ + "\\Übersicht.exe", "MZ");
    kvtest::WriteBytes(program_ + "\\Uninstal.exe", "MZ");
  }
};

TEST_F(ShellLink, WrittenAndReadBack) {
  const struct {
    const char* caption;
    const char* file;
    int showCommand;
  } cases[] = {
      {"Demo", "Demo.exe", SW_SHOW},
      {"Übersicht für Ärzte", "Übersicht.exe", SW_SHOW},
      {"Programm entfernen", "Uninstal.exe", SW_SHOWMAXIMIZED},
      {"Fehlt noch", "Fehlt.exe", SW_SHOW},  // a target that does not exist (yet)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    const std::string link = dir_.Path() + c.caption + ".LNK";
    const std::string target = program_ + "\\" + c.file;
    CreateShellLink(target, c.caption, link, program_, c.showCommand);
    ASSERT_TRUE(FileExists(link));
    const LinkView view = ReadLink(link);
    EXPECT_EQ(view.target, target);
    EXPECT_EQ(view.description, c.caption);
    EXPECT_EQ(view.workingDir, program_);
    EXPECT_EQ(view.showCommand, c.showCommand);
    EXPECT_EQ(GetShellLinkTarget(link), target);
  }
}

TEST_F(ShellLink, ExistingLinkIsReplaced) {
  const std::string link = dir_.Path() + "Demo.LNK";
  CreateShellLink(program_ + "\\Uninstal.exe", "alt", link, "C:\\", SW_SHOW);
  CreateShellLink(program_ + "\\Demo.exe", "Demo", link, program_, SW_SHOW);
  EXPECT_EQ(GetShellLinkTarget(link), program_ + "\\Demo.exe");
  EXPECT_EQ(ReadLink(link).description, "Demo");
}

TEST_F(ShellLink, NotWrittenWhereTheFileSystemSaysNo) {
  const std::string target = program_ + "\\Demo.exe";
  const struct {
    const char* name;
    std::string link;
  } cases[] = {
      {"missing folder", dir_.Path() + "Gruppe\\Demo.LNK"},
      {"characters not allowed in file names", dir_.Path() + "Demo: Hilfe?.LNK"},
      {"path of 260 characters", dir_.Path() + std::string(260 - dir_.Path().size() - 4, 'x') + ".LNK"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CreateShellLink(target, "Demo", c.link, program_, SW_SHOW);
    EXPECT_FALSE(FileExists(c.link));
    EXPECT_EQ(GetShellLinkTarget(c.link), "");
  }
  EXPECT_FALSE(DirectoryExists(dir_.Path() + "Gruppe"));
  // The longest path a link may have.
  const std::string longest = dir_.Path() + std::string(259 - dir_.Path().size() - 4, 'x') + ".LNK";
  CreateShellLink(target, "Demo", longest, program_, SW_SHOW);
  EXPECT_EQ(GetShellLinkTarget(longest), target);
}

TEST_F(ShellLink, TargetOnlyForTheLinkExtension) {
  const std::string target = program_ + "\\Demo.exe";
  CreateShellLink(target, "Demo", dir_.Path() + "Demo.LNK", program_, SW_SHOW);
  kvtest::WriteBytes(dir_.Path() + "Demo.txt", "");
  const struct {
    std::string path;
    std::string expected;
  } cases[] = {
      {dir_.Path() + "Demo.LNK", target},
      {dir_.Path() + "demo.lnk", target},
      {dir_.Path() + "Demo.LnK", target},
      {dir_.Path() + "Fehlt.LNK", ""},
      {dir_.Path() + "Demo.txt", kNotALink},
      {dir_.Path() + "Demo", kNotALink},
      {dir_.Path() + "Demo.LNK.bak", kNotALink},
      {dir_.Path() + "Ordner.LNK\\Demo", kNotALink},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(GetShellLinkTarget(c.path), c.expected);
  }
}

}  // namespace
