// hzpack make's decisions: how each product file is shipped, the order and
// the clashes of the list, the list's text and its code page.
#include "tools/hzpack/medium_maker.h"
#include "system/code_page.h"

#include "tests/support/test_files.h"
#include "tools/hzpack/check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

namespace {

using hzpack::MakeError;
using hzpack::MediumEntry;

TEST(MediumMaker, EachFileIsShippedSoThatItInstallsUnderItsOwnName) {
  struct Row {
    const char* product;
    const char* medium;  // "" when make refuses the name
    const char* listed;
    bool packed;
  };
  const Row rows[] = {
      {"PROG.EXE", "PROG.EX_", "PROG.EX_", true},
      {"demo.exe", "demo.ex_", "demo.ex_", true},  // installs as demo.EXE
      {"Hilfe/RUND.HLP", "Hilfe/RUND.HL_", "Hilfe\\RUND.HL_", true},
      {"Vorlagen/kvx-ww8.doc", "Vorlagen/kvx-ww8.do_", "Vorlagen\\kvx-ww8.do_", true},
      {"Brief.doc", "Brief.doc", "Brief.doc", false},  // as Brief.do_ it would arrive as Brief.DOT
      {"DATA.XY_", "DATA.XY_", "DATA.XY_", true},      // copied plainly the setup program would expand it
      {"README", "README", "README", false},
      {"B\xC3\xBCro.ini", "B\xC3\xBCro.ini", "B\xFCro.ini", false},
      {"LIES.TX_1", "", "", false},  // would arrive as LIES.TXT
      {"a:b.txt", "", "", false},
      {"x\\y.txt", "", "", false},
      {"Ordner./x.txt", "", "", false},
      {"CON.txt", "", "", false},
      {" vorn.txt", "", "", false},
      {"'Notiz.txt'", "", "", false},  // the list would give it without its quotes
      {"Smiley \xF0\x9F\x98\x80.txt", "", "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.product);
    if (*row.medium == '\0') {
      EXPECT_THROW(hzpack::ShipAs(row.product), MakeError);
      continue;
    }
    const MediumEntry entry = hzpack::ShipAs(row.product);
    EXPECT_EQ(entry.productName, row.product);
    EXPECT_EQ(entry.mediumName, row.medium);
    EXPECT_EQ(entry.listedName, row.listed);
    EXPECT_EQ(entry.packed, row.packed);
  }
}

std::vector<MediumEntry> Entries(std::initializer_list<const char*> names) {
  std::vector<MediumEntry> entries;
  for (const char* name : names) entries.push_back(hzpack::ShipAs(name));
  return entries;
}

std::string Listed(const std::vector<MediumEntry>& entries) {
  std::string text;
  for (const MediumEntry& e : entries) text += e.listedName + ";";
  return text;
}

TEST(MediumMaker, TheMainProgramComesFirstAndNamesDoNotClash) {
  EXPECT_EQ(Listed(hzpack::OrderEntries(Entries({"b.txt", "Hilfe/x.hlp", "A.dll", "Tool.exe"}), "")),
            "Tool.ex_;A.dl_;b.tx_;Hilfe\\x.hl_;");
  EXPECT_EQ(Listed(hzpack::OrderEntries(Entries({"a.exe", "bin/Main.exe"}), "bin\\Main.exe")),
            "bin\\Main.ex_;a.ex_;");
  const std::vector<std::vector<const char*>> refused = {
      {"a.txt", "b.txt"},             // no program at the top level
      {"a.exe", "b.exe"},             // two
      {"a.exe", "A.EXE"},             // one name for Windows
      {"a.exe", "setup.lst"},         // the medium's list
      {"a.exe", "Uninstal.exe"},      // the installed uninstaller
      {"a.exe", "x", "X/y.txt"},      // a file and a folder
      {"a=b.exe"},                    // the key of the first shortcut line
  };
  for (const auto& names : refused) {
    SCOPED_TRACE(names.back());
    std::vector<MediumEntry> entries;
    for (const char* name : names) entries.push_back(hzpack::ShipAs(name));
    EXPECT_THROW(hzpack::OrderEntries(entries, ""), MakeError);
  }
  EXPECT_THROW(hzpack::OrderEntries(Entries({"a.exe"}), "b.exe"), MakeError);
}

TEST(MediumMaker, TheListNamesTheProductEverywhereAndTheMainProgramFirst) {
  const std::vector<MediumEntry> entries = Entries({"bin/RUND.EXE", "Logo.bmp"});
  EXPECT_EQ(hzpack::SetupListText("B\xFCro", "D:\\B\xFCro", "", "", entries, {}),
            "[General]\r\nName=B\xFCro\r\ndefaultPath=D:\\B\xFCro\r\n\r\n"
            "[StartMenu]\r\nFolder=B\xFCro\r\n\r\n"
            "[Group]\r\nName=B\xFCro\r\n\r\n"
            "[programfiles]\r\n1=bin\\RUND.EX_\r\n2=Logo.bmp\r\n\r\n"
            "[Items]\r\nbin\\RUND.EXE=B\xFCro\r\nUninstal.exe=Programm entfernen\r\n");
}

// Version and publisher stand in [General] only when given.
TEST(MediumMaker, TheListCarriesVersionAndPublisherWhenGiven) {
  const std::string list =
      hzpack::SetupListText("Demo", "C:\\Demo", "2.1", "K\xFChn & Co", Entries({"DEMO.EXE"}), {});
  EXPECT_EQ(list.substr(0, list.find("[StartMenu]")),
            "[General]\r\nName=Demo\r\ndefaultPath=C:\\Demo\r\nVersion=2.1\r\nPublisher=K\xFChn & Co\r\n\r\n");
}

TEST(MediumMaker, OnlyWhatCodePage1252WritesIsConverted) {
  struct Row {
    const char* utf8;
    const char* cp1252;  // nullptr: refused
  };
  const Row rows[] = {
      {"Demo", "Demo"},
      {"\xC3\xA4\xC3\x9F", "\xE4\xDF"},       // äß
      {"\xE2\x82\xAC \xC5\xA0", "\x80 \x8A"},  // € Š
      {"\xC2\x81", nullptr},                   // a control character the code page leaves out
      {"\xC5\x81", nullptr},                   // Ł
      {"\xC3", nullptr},                       // cut short
      {"\xC0\xA4", nullptr},                   // overlong
      {"\xED\xA0\x80", nullptr},               // a surrogate
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.utf8);
    std::string out = "untouched";
    EXPECT_EQ(Utf8ToCp1252(row.utf8, out), row.cp1252 != nullptr);
    EXPECT_EQ(out, row.cp1252 ? row.cp1252 : "untouched");
  }
}

// A product with a help file for a second shortcut, data that packing would
// make larger, and a library folder that is a link to a folder elsewhere.
TEST(MediumMaker, ARoundTripWithAnExtraShortcutAndAFileStoredPlain) {
  namespace fs = std::filesystem;
  const kvtest::TempDir dir;
  const fs::path product = dir / "Produkt";
  fs::create_directories(product / "Daten");
  fs::create_directories(dir / "Geteilt");
  kvtest::WriteBytes(dir / "Produkt/Demo.exe", "MZ" + std::string(4000, 'x'));
  kvtest::WriteBytes(dir / "Produkt/Hilfe.hlp", std::string(3000, 'h'));
  std::mt19937 random(24);
  std::string noise(20000, '\0');
  std::generate(noise.begin(), noise.end(), [&random] { return static_cast<char>(random()); });
  kvtest::WriteBytes(dir / "Produkt/Daten/Zufall.dat", noise);
  kvtest::WriteBytes(dir / "Geteilt/HELPER.DLL", std::string(2000, 'd'));
  fs::create_directory_symlink(dir / "Geteilt", product / "lib");
  kvtest::WriteBytes(dir / "Vertrag.txt", "Vertrag");
  kvtest::WriteBytes(dir / "SETUP.EXE", "MZ");

  hzpack::MakeRequest request;
  request.source = product.string();
  request.medium = dir / "Medium";
  request.name = "Demo";
  request.agreement = dir / "Vertrag.txt";
  request.setup = dir / "SETUP.EXE";
  request.items = {"Hilfe.hlp=Demo Hilfe"};
  const hzpack::MakeReport report = hzpack::MakeMedium(request);
  EXPECT_EQ(report.packed, 3u);  // of 4
  EXPECT_EQ(kvtest::ReadBytes(dir / "Medium/Setup.lst"),
            kvtest::ToBytes("[General]\r\nName=Demo\r\ndefaultPath=C:\\Programme\\Demo\r\n\r\n"
                            "[StartMenu]\r\nFolder=Demo\r\n\r\n[Group]\r\nName=Demo\r\n\r\n"
                            "[programfiles]\r\n1=Demo.ex_\r\n2=Daten\\Zufall.dat\r\n3=Hilfe.hl_\r\n"
                            "4=lib\\HELPER.DL_\r\n\r\n"
                            "[Items]\r\nDemo.EXE=Demo\r\nHilfe.HLP=Demo Hilfe\r\nUninstal.exe=Programm entfernen\r\n"));
  EXPECT_EQ(kvtest::ReadBytes(dir / "Medium/Daten/Zufall.dat"), kvtest::ToBytes(noise));
  std::ostringstream findings;
  EXPECT_EQ(hzpack::CheckMedium(dir / "Medium", findings, false), 0);
  EXPECT_EQ(findings.str(), "");

  // What make refuses rather than ship a medium short of a file or a
  // shortcut: items it cannot make as asked, a folder link back into itself.
  request.medium = dir / "Medium2";
  const std::vector<std::vector<std::string>> wrongItems = {
      {"Fehlt.hlp=Hilfe"},   {"Hilfe.hlp"},        {"Hilfe.hlp=A", "Hilfe.hlp=B"},         {"Demo.exe=Noch einmal"},
      {"Hilfe.hlp=Hilfe?"},  {"Hilfe.hlp='Hilfe'"}, {"Hilfe.hlp=programm entfernen"},
      {"Hilfe.hlp=" + std::string(256, 'c')}};
  for (const std::vector<std::string>& items : wrongItems) {
    SCOPED_TRACE(items.back());
    request.items = items;
    EXPECT_THROW(hzpack::MakeMedium(request), MakeError);
  }
  request.items.clear();
  fs::create_directory_symlink(product, product / "Daten/zurück");
  EXPECT_THROW(hzpack::MakeMedium(request), MakeError);
}

}  // namespace
