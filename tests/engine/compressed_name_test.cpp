#include "engine/compressed_name.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace {

TEST(MapCompressedName, EveryRuleAndItsEdges) {
  const struct {
    const char* name;
    const char* installed;
  } cases[] = {
      {"PROG.EX_", "PROG.EXE"},        {"prog.ex_", "prog.EXE"},
      {"HILFE.HL_", "HILFE.HLP"},      {"HILFE.CH_", "HILFE.CHM"},
      {"LIB.DL_", "LIB.DLL"},          {"DATA.BI_", "DATA.BIN"},
      {"APP.RE_", "APP.RES"},          {"OLD.VB_", "OLD.VBX"},
      {"LIST.RP_", "LIST.RPT"},        {"BRIEF.DO_", "BRIEF.DOT"},
      {"base.hd_", "base.HDB"},        {"x.ep_", "x.EPF"},
      {"werte.da_", "werte.DAT"},      {"logo.jp_", "logo.JPG"},
      {"text.rt_", "text.RTF"},        {"ton.wa_", "ton.WAV"},
      {"NAME.W_", "NAME.WB"},          {"liesmich.tx_", "liesmich.TXT"},
      // The one document among the templates, by its whole name.
      {"kvx-ww8.do_", "kvx-ww8.DOC"},  {"KVX-WW8.DO_", "KVX-WW8.DOC"},
      {"xkvx-ww8.do_", "xkvx-ww8.DOC"}, {"C:\\Vorlagen\\Kvx-WW8.Do_", "C:\\Vorlagen\\Kvx-WW8.DOC"},
      {"kvx-ww8.do_x", "kvx-ww8.DOC"}, {"kvx-ww9.do_", "kvx-ww9.DOT"},
      // Only the last extension counts; a pattern only has to begin it.
      {"ARCHIVE.TAR.EX_", "ARCHIVE.TAR.EXE"}, {"NOTE.TX_1", "NOTE.TXT"},
      {"C:\\Programme\\Kv\\PROG.EX_", "C:\\Programme\\Kv\\PROG.EXE"},
      // Names that keep their name.
      {"Readme.txt", "Readme.txt"},    {"DATA.XY_", "DATA.XY_"},
      {"README", "README"},            {"SUB.DIR\\README", "SUB.DIR\\README"},
      {"C:PROG.EX_\\README", "C:PROG.EX_\\README"}, {"D:.EX_", "D:.EXE"},
      {"", ""},                        {".EX_", ".EXE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string installed = MapCompressedName(c.name);
    EXPECT_EQ(installed, c.installed);
    // The stem, everything before the extension, never changes.
    const std::string name = c.name;
    const auto stem = name.find_last_of(".\\:");
    if (stem != std::string::npos && name[stem] == '.') {
      EXPECT_EQ(installed.substr(0, stem), name.substr(0, stem));
    }
  }
}

TEST(PlanInstallFile, ExpandOrCopy) {
  const struct {
    const char* source;
    const char* target;
    const char* sourceDir;
    const char* targetDir;
    const char* sourcePath;
    const char* targetPath;
    bool expand;
  } cases[] = {
      {"PROG.EX_", "PROG.EX_", "D:\\", "C:\\Kv", "D:\\PROG.EX_", "C:\\Kv\\PROG.EXE", true},
      {"Readme.txt", "Readme.txt", "D:\\Disk1", "C:\\Kv\\", "D:\\Disk1\\Readme.txt", "C:\\Kv\\Readme.txt", false},
      {"DATA.XY_", "DATA.XY_", "D:\\", "C:\\Kv", "D:\\DATA.XY_", "C:\\Kv\\DATA.XY_", true},
      {"NOTE.TX_1", "NOTE.TX_1", "D:\\", "C:\\Kv", "D:\\NOTE.TX_1", "C:\\Kv\\NOTE.TXT", false},
      {"README", "README", "D:\\", "C:\\Kv", "D:\\README", "C:\\Kv\\README", false},
      {"SUB.DIR\\README", "SUB.DIR\\README", "D:\\", "C:\\Kv", "D:\\SUB.DIR\\README", "C:\\Kv\\SUB.DIR\\README", false},
      // The decision follows the source as listed; the name follows the target.
      {"SETUP.EXE", "Uninstal.exe", "D:\\", "C:\\Kv", "D:\\SETUP.EXE", "C:\\Kv\\Uninstal.exe", false},
      {"PROG.EX_", "PROG.EXE", "D:\\", "C:\\Kv", "D:\\PROG.EX_", "C:\\Kv\\PROG.EXE", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    const InstallFilePlan plan = PlanInstallFile(c.source, c.target, c.sourceDir, c.targetDir);
    EXPECT_EQ(plan.sourcePath, c.sourcePath);
    EXPECT_EQ(plan.targetPath, c.targetPath);
    EXPECT_EQ(plan.expand, c.expand);
  }
}

const kvtest::Bytes kAbc = {0x21, 0x48, 0x5A, 0x4C, 0x03, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xE0};

TEST(InstallFileContent, ExpandsOrCopiesOverAnEarlierFile) {
  const struct {
    const char* name;
    kvtest::Bytes source;
    bool expand;
    bool ok;
    kvtest::Bytes target;  // afterwards
  } cases[] = {
      {"expanded", kAbc, true, true, kvtest::ToBytes("abc")},
      {"copied unchanged", kAbc, false, true, kAbc},
      // The earlier file stays when the source is no compressed file.
      {"not a compressed file", kvtest::ToBytes("plain text"), true, false, kvtest::ToBytes("old")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    kvtest::TempDir dir;
    const InstallFilePlan plan{dir / "SRC", dir / "DST", c.expand};
    kvtest::WriteBytes(plan.sourcePath, c.source);
    kvtest::WriteBytes(plan.targetPath, kvtest::ToBytes("old"));
    EXPECT_EQ(InstallFileContent(plan), c.ok);
    EXPECT_EQ(kvtest::ReadBytes(plan.targetPath), c.target);
    EXPECT_EQ(dir.Entries().size(), 2u);
  }
}

TEST(ExpandCompressedFile, MissingSourceFailsAndLeavesNoTarget) {
  kvtest::TempDir dir;
  EXPECT_FALSE(ExpandCompressedFile(dir / "NONE.EX_", dir / "NONE.EXE"));
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
