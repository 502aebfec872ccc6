// hzpack make's decisions: how each product file is shipped, the order and
// the clashes of the list, the list's text and its code page.
#include "tools/hzpack/medium_maker.h"
#include "system/code_page.h"

#include "tests/support/test_files.h"
#include "tools/hzpack/check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <numeric>
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
  // Every file of the medium with its CRC-32; the packed ones' depend on the
  // packer, the check below compares them with the files.
  const std::vector<std::uint8_t> list = kvtest::ReadBytes(dir / "Medium/Setup.lst");
  const std::string text(list.begin(), list.end());
  const std::string::size_type checksums = text.find("\r\n[CRC32]\r\n");
  EXPECT_EQ(text.substr(0, checksums),
            "[General]\r\nName=Demo\r\ndefaultPath=C:\\Programme\\Demo\r\n\r\n"
            "[StartMenu]\r\nFolder=Demo\r\n\r\n[Group]\r\nName=Demo\r\n\r\n"
            "[programfiles]\r\n1=Demo.ex_\r\n2=Daten\\Zufall.dat\r\n3=Hilfe.hl_\r\n"
            "4=lib\\HELPER.DL_\r\n\r\n"
            "[Items]\r\nDemo.EXE=Demo\r\nHilfe.HLP=Demo Hilfe\r\nUninstal.exe=Programm entfernen\r\n");
  std::vector<std::string> lines;
  std::istringstream section(text.substr(checksums + 11));
  for (std::string line; std::getline(section, line, '\n');) lines.push_back(line.substr(0, line.find_first_of("= ")) + line.substr(line.find(' ')));
  EXPECT_EQ(lines, (std::vector<std::string>{"1 Demo.ex_\r", "2 Daten\\Zufall.dat\r", "3 Hilfe.hl_\r",
                                             "4 lib\\HELPER.DL_\r", "5 Vertrag.Txt\r", "6 SETUP.EXE\r",
                                             "7 Setup.lst\r"}));
  EXPECT_NE(text.find("5=1A5A0B5D Vertrag.Txt\r\n6=8FB09B5D SETUP.EXE\r\n"), std::string::npos);
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

  // The proposed directory goes into the list as the wizard will name it.
  request.medium = dir / "Medium3";
  request.path = "D:/Programme//Demo. ";
  hzpack::MakeMedium(request);
  EXPECT_NE(kvtest::ReadText(dir / "Medium3/Setup.lst").find("defaultPath=D:\\Programme\\Demo\r\n"), std::string::npos);

  fs::create_directory_symlink(product, product / "Daten/zurück");
  EXPECT_THROW(hzpack::MakeMedium(request), MakeError);
}

// A product as a vendor's working folder holds it: version control, the
// Explorer's files, editor backups, a file for the Windows directory and a
// product file under the medium's read-me name.
class MakeFromWorkingFolder : public ::testing::Test {
protected:
  kvtest::TempDir dir_;
  std::filesystem::path product_ = dir_ / "Produkt";
  hzpack::MakeRequest request_;
  int made_ = 0;

  void SetUp() override {
    for (const char* name : {".svn/entries", ".git/HEAD", "Thumbs.db", "desktop.ini", "Brief.rtf~", "alt.bak",
                             "Daten/Sicherung.BAK", "Daten/Werte.dat", "Notiz.tmp", "DEMO.INI"})
      Write(name, name);
    Write("DEMO.EXE", "MZ" + std::string(3000, 'p'));
    Write("Liesmich.txt", Noise(3000));  // grows when packed
    kvtest::WriteBytes(dir_ / "Vertrag.txt", "Vertrag");
    kvtest::WriteBytes(dir_ / "SETUP.EXE", "MZ");
    request_.source = product_.string();
    request_.name = "Demo";
    request_.agreement = dir_ / "Vertrag.txt";
    request_.setup = dir_ / "SETUP.EXE";
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((product_ / name).parent_path());
    kvtest::WriteBytes(product_ / name, bytes);
  }
  static std::string Noise(std::size_t size) {
    std::mt19937 random(7);
    std::string noise(size, '\0');
    std::generate(noise.begin(), noise.end(), [&random] { return static_cast<char>(random()); });
    return noise;
  }
  // Makes a fresh medium; its list without the [Items] and [CRC32] lines.
  hzpack::MakeReport Make(std::string& list) {
    request_.medium = dir_ / ("Medium" + std::to_string(++made_));
    const hzpack::MakeReport report = hzpack::MakeMedium(request_);
    const std::vector<std::uint8_t> bytes = kvtest::ReadBytes(request_.medium + "/Setup.lst");
    list = std::string(bytes.begin(), bytes.end());
    list = list.substr(list.find("[programfiles]"));
    list = list.substr(0, list.find("\r\n[Items]"));
    return report;
  }
};

TEST_F(MakeFromWorkingFolder, WhatNoProductShipsIsLeftOutWithALineEach) {
  const std::string kept = " (--keep-all ships it)";
  const struct {
    std::vector<std::string> excludes;
    bool keepAll;
    std::vector<std::string> leftOut;
    const char* listed;
  } rows[] = {
      {{},
       false,
       {".git/: a version control folder" + kept, ".svn/: a version control folder" + kept,
        "Brief.rtf~: an editor's backup" + kept, "Daten/Sicherung.BAK: an editor's backup" + kept,
        "Thumbs.db: the Explorer's thumbnails" + kept, "alt.bak: an editor's backup" + kept,
        "desktop.ini: the Explorer's folder settings" + kept},
       "1=DEMO.EX_\r\n2=Daten\\Werte.dat\r\n3=DEMO.INI\r\n4=Liesmich.tx_\r\n5=Notiz.tmp\r\n"},
      {{"*.TMP", "daten"},
       false,
       {".git/: a version control folder" + kept, ".svn/: a version control folder" + kept,
        "Brief.rtf~: an editor's backup" + kept, "Daten/: --exclude daten", "Notiz.tmp: --exclude *.TMP",
        "Thumbs.db: the Explorer's thumbnails" + kept, "alt.bak: an editor's backup" + kept,
        "desktop.ini: the Explorer's folder settings" + kept},
       "1=DEMO.EX_\r\n2=DEMO.INI\r\n3=Liesmich.tx_\r\n"},
      {{".s?n"},
       true,
       {".svn/: --exclude .s?n"},
       "1=DEMO.EX_\r\n2=.git\\HEAD\r\n3=alt.bak\r\n4=Brief.rtf~\r\n5=Daten\\Sicherung.BAK\r\n"
       "6=Daten\\Werte.dat\r\n7=DEMO.INI\r\n8=desktop.ini\r\n9=Liesmich.tx_\r\n10=Notiz.tmp\r\n11=Thumbs.db\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.listed);
    request_.excludes = row.excludes;
    request_.keepAll = row.keepAll;
    std::string list;
    EXPECT_EQ(Make(list).leftOut, row.leftOut);
    EXPECT_EQ(list, std::string("[programfiles]\r\n") + row.listed);
    // The product's Liesmich.txt stays packed, beside the medium's own.
    EXPECT_FALSE(std::filesystem::exists(request_.medium + "/Liesmich.txt"));
  }
}

TEST_F(MakeFromWorkingFolder, OptionsForTheWindowsDirectoryAndTheTexts) {
  request_.windowsFiles = {"DEMO.INI"};
  kvtest::WriteBytes(dir_ / "Liesmich.txt", "\xEF\xBB\xBF" "F\xC3\xBCr Sie: 5 \xE2\x82\xAC\r\n");
  request_.readme = dir_ / "Liesmich.txt";
  std::string list;
  Make(list);
  EXPECT_EQ(list, "[programfiles]\r\n1=DEMO.EX_\r\n2=Daten\\Werte.dat\r\n3=Liesmich.tx_\r\n4=Notiz.tmp\r\n\r\n"
                  "[Windows]\r\n1=DEMO.INI\r\n");
  EXPECT_EQ(kvtest::ReadBytes(request_.medium + "/Liesmich.txt"), kvtest::ToBytes("F\xFCr Sie: 5 \x80\r\n"));

  // What make refuses, each on the request above with one change.
  const std::string path = "C:\\" + std::string(248, 'p');
  const struct {
    const char* change;
    std::function<void(hzpack::MakeRequest&)> apply;
    const char* message;  // a part of it
  } refusals[] = {
      {"--windows in a folder", [](hzpack::MakeRequest& r) { r.windowsFiles = {"Daten/Werte.dat"}; },
       "not at the top of the product folder"},
      {"--windows of no product file", [](hzpack::MakeRequest& r) { r.windowsFiles = {"FEHLT.INI"}; },
       "not a file of the product folder"},
      {"a shortcut into the Windows directory", [](hzpack::MakeRequest& r) { r.items = {"DEMO.INI=Einstellungen"}; },
       "goes into the Windows directory"},
      {"a read-me with a character code page 1252 lacks",
       [this](hzpack::MakeRequest&) { kvtest::WriteBytes(dir_ / "Liesmich.txt", "Hallo\nL\xC5\x81\xC3\xB3" "d\xC5\xBA\n"); },
       "line 2: \"\xC5\x81\" has no place in code page 1252"},
      {"an agreement in UTF-16",
       [this](hzpack::MakeRequest&) { kvtest::WriteBytes(dir_ / "Vertrag.txt", std::string("\xFF\xFEV\0", 4)); },
       "saved as UTF-16"},
      {"an install directory too long", [&path](hzpack::MakeRequest& r) { r.path = path; },
       "DEMO.EXE: installed as C:\\ppp"},
  };
  for (const auto& refusal : refusals) {
    SCOPED_TRACE(refusal.change);
    hzpack::MakeRequest request = request_;
    request.medium = dir_ / "Abgelehnt";
    refusal.apply(request);
    try {
      hzpack::MakeMedium(request);
      ADD_FAILURE() << "made";
    } catch (const MakeError& e) {
      EXPECT_NE(std::string(e.what()).find(refusal.message), std::string::npos) << e.what();
    }
    kvtest::WriteBytes(dir_ / "Liesmich.txt", "Lies mich");
    kvtest::WriteBytes(dir_ / "Vertrag.txt", "Vertrag");
  }
}

// Every single-byte change anywhere on a made medium is found: a bit
// flipped, and a byte set to a line feed as a transfer in text mode might.
TEST_F(MakeFromWorkingFolder, NoChangeOfOneByteGoesUnnoticed) {
  request_.keepAll = true;
  request_.excludes = {".*", "*.bak", "*~", "*.tmp", "*.db", "*.ini", "Daten"};
  std::string list;
  Make(list);
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(request_.medium))
    if (entry.is_regular_file()) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 5u);  // DEMO.EX_, Liesmich.tx_, Setup.lst, Vertrag.Txt, SETUP.EXE
  std::size_t changes = 0;
  for (const auto& file : files) {
    const std::vector<std::uint8_t> sound = kvtest::ReadBytes(file);
    // A file's CRC-32 finds any change of one byte; the list is walked whole.
    std::vector<std::size_t> positions = {0, sound.size() / 2, sound.size() - 1};
    if (file.filename() == "Setup.lst") {
      positions.resize(sound.size());
      std::iota(positions.begin(), positions.end(), 0);
    }
    for (const std::size_t at : positions) {
      for (const std::uint8_t changed : {static_cast<std::uint8_t>(sound[at] ^ 0x10), std::uint8_t{'\n'}}) {
        if (changed == sound[at]) continue;
        std::vector<std::uint8_t> damaged = sound;
        damaged[at] = changed;
        kvtest::WriteBytes(file, damaged);
        std::ostringstream findings;
        hzpack::CheckMedium(request_.medium, findings, false);
        EXPECT_NE(findings.str(), "") << file.filename() << " byte " << at;
        ++changes;
      }
    }
    kvtest::WriteBytes(file, sound);
  }
  EXPECT_GT(changes, 600u);  // the walk ran: two changes per byte of the list
}

// A list's checksum follows a file packed anew: its line replaced where it
// has one; else a new line where the list lies beside the file.
TEST(MediumMaker, PackSetsTheChecksumLine) {
  const std::string list = "[Group]\r\nName=Demo\r\n\r\n[CRC32]\r\n1=00000001 DEMO.EX_\r\n7=00000002 daten\\X.DA_\r\n\r\n"
                           "[Items]\r\nDEMO.EXE=Demo\r\n";
  const struct {
    const char* name;
    bool add;
    std::string expected;
  } rows[] = {
      {"Daten/x.da_", false,
       "[Group]\r\nName=Demo\r\n\r\n[CRC32]\r\n1=00000001 DEMO.EX_\r\n7=ABCDEF12 daten\\X.DA_\r\n\r\n"
       "[Items]\r\nDEMO.EXE=Demo\r\n"},
      {"NEU.DL_", true,
       "[Group]\r\nName=Demo\r\n\r\n[CRC32]\r\n1=00000001 DEMO.EX_\r\n7=00000002 daten\\X.DA_\r\n"
       "8=ABCDEF12 NEU.DL_\r\n\r\n[Items]\r\nDEMO.EXE=Demo\r\n"},
      {"NEU.DL_", false, list},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(hzpack::ListWithChecksum(list, row.name, 0xABCDEF12u, row.add), row.expected);
  }
  // A list without checksums stays one.
  EXPECT_EQ(hzpack::ListWithChecksum("[Items]\r\nA=B", "A.EX_", 1u, true), "[Items]\r\nA=B");
}

}  // namespace
