// hzpack check against broken media: each a copy of one good medium with one
// mistake, and the findings and exit code each must give.
#include "tests/support/test_files.h"
#include "tools/hzpack/check.h"
#include "tools/hzpack/hzl_pack.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

std::string Packed(const std::string& text) {
  const std::vector<std::uint8_t> packed = hzpack::PackBytes(kvtest::ToBytes(text));
  return std::string(packed.begin(), packed.end());
}

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

const std::string kList =
    "[General]\r\nName=Demo\r\ndefaultPath=C:\\Programme\\Demo\r\n"
    "[StartMenu]\r\nFolder=Demo\r\n"
    "[Group]\r\nName=Demo\r\n"
    "[programfiles]\r\n1=DEMO.EX_\r\n2=Beispiel.hd_\r\n3=Liesmich.txt\r\n"
    "[Windows]\r\n1=DEMO.INI\r\n"
    "[SystemDepended]\r\nWindows XP=XP.DL_;\r\n"
    "[Items]\r\nDEMO.EXE=Demo\r\nUninstal.exe=Programm entfernen\r\n";

// The coded stream of this text ends with a match, so a header one byte
// short makes the decoder produce one byte more than it says.
const std::string kProgram = Repeated("Programm ", 100);

class Medium {
public:
  Medium() {
    Write("Setup.lst", kList);
    Write("SETUP.EXE", "MZ");
    Write("Vertrag.Txt", "Vertrag");
    Write("demo.ex_", Packed(kProgram));  // found whatever its letter case
    Write("Beispiel.hd_", Packed("Beispiel"));
    Write("Liesmich.txt", "Lies mich");
    Write("DEMO.INI", "[Demo]");
    Write("XP.DL_", Packed("XP"));
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(dir_ / name).parent_path());
    kvtest::WriteBytes(dir_ / name, bytes);
  }
  void Remove(const std::string& name) const { std::filesystem::remove(dir_ / name); }
  void Replace(const std::string& from, const std::string& to) const {
    std::string list = kList;
    list.replace(list.find(from), from.size(), to);
    Write("Setup.lst", list);
  }
  const std::string& Path() const { return dir_.Path(); }

private:
  kvtest::TempDir dir_;
};

TEST(CheckMedium, BrokenMediaGiveTheirFindings) {
  std::string cut = Packed(kProgram);
  cut.resize(cut.size() - 3);
  std::string shortHeader = Packed(kProgram);
  shortHeader[4] = static_cast<char>(shortHeader[4] - 1);  // 899 instead of 900
  std::string huge = Packed("XP");
  huge.replace(4, 4, "\xFF\xFF\xFF\xFF");

  const struct {
    const char* mistake;
    std::function<void(const Medium&)> make;
    std::vector<std::string> findings;
  } cases[] = {
      {"none", [](const Medium&) {}, {}},
      {"no list", [](const Medium& m) { m.Remove("Setup.lst"); },
       {"error: Setup.lst: missing: the setup program ends at once without its list"}},
      {"a listed file missing", [](const Medium& m) { m.Remove("Liesmich.txt"); },
       {"error: Liesmich.txt: missing on the medium"}},
      {"a plain file under a compressed name", [](const Medium& m) { m.Write("XP.DL_", "XP"); },
       {"error: XP.DL_: not a compressed file (no \"!HZL\"), but its name ends in \"_\""}},
      {"cut short", [&cut](const Medium& m) { m.Write("demo.ex_", cut); },
       {"error: DEMO.EX_: cut short: the coded data ends before 900 bytes are decoded"}},
      {"header cut short", [](const Medium& m) { m.Write("demo.ex_", "!HZL\x84\x03"); },
       {"error: DEMO.EX_: cut short: the file ends inside its 8-byte header"}},
      {"size in the header one short", [&shortHeader](const Medium& m) { m.Write("demo.ex_", shortHeader); },
       {"error: DEMO.EX_: decodes to 900 bytes, but its header says 899"}},
      {"size of 2 GiB or more", [&huge](const Medium& m) { m.Write("XP.DL_", huge); },
       {"error: XP.DL_: its header gives a size of 2 GiB or more"}},
      {"data left over", [](const Medium& m) { m.Write("Beispiel.hd_", Packed("Beispiel") + "rest"); },
       {"error: Beispiel.hd_: data left over after the coded stream"}},
      {"a name leaving the install directory",
       [](const Medium& m) { m.Replace("3=Liesmich.txt", "3=Liesmich.txt\r\n4=..\\Shared.dll"); },
       {"error: ..\\Shared.dll: its name leads out of its directory or has an empty part; the setup program never "
        "places it"}},
      {"no agreement", [](const Medium& m) { m.Remove("Vertrag.Txt"); },
       {"error: Vertrag.Txt: missing: the agreement page stops even an automatic install with an error box"}},
      {"no setup program", [](const Medium& m) { m.Remove("SETUP.EXE"); },
       {"error: SETUP.EXE: missing: the setup program itself is copied into the install directory as Uninstal.exe"}},
      {"a gap in the numbering", [](const Medium& m) { m.Replace("3=Liesmich.txt", "4=Liesmich.txt"); },
       {"warning: [programfiles] 4: never read: entries are read by the numbers 1 to 3, the count of the section's "
        "entries",
        "error: entry 3: empty: the setup program tries to copy a file without a name and asks the user"}},
      {"saved as UTF-8", [](const Medium& m) { m.Replace("Name=Demo\r\n", "Name=D\xC3\xA9mo\r\n"); },
       {"warning: Setup.lst: saved as UTF-8: the setup program reads code page 1252, so \"\xC3\xBC\" shows as two "
        "characters",
        // printed as the setup program will show it: "DÃ©mo"
        "warning: [Items] DEMO.EXE: its caption \"Demo\" is not [General] Name \"D\xC3\x83\xC2\xA9mo\": the uninstaller "
        "leaves the desktop and Start-menu shortcuts behind"}},
      {"no program name", [](const Medium& m) { m.Replace("Name=Demo\r\ndefaultPath", "defaultPath"); },
       {"warning: [General] Name: missing: the program is called \"Programm\"",
        "warning: [Items] DEMO.EXE: its caption \"Demo\" is not [General] Name \"Programm\": the uninstaller leaves "
        "the desktop and Start-menu shortcuts behind"}},
      {"no group name", [](const Medium& m) { m.Replace("[Group]\r\nName=Demo\r\n", "[Group]\r\n"); },
       {"warning: [Group] Name: missing: the program group is called \"Gruppex\""}},
      {"no uninstall folder", [](const Medium& m) { m.Replace("Folder=Demo", "Ordner=Demo"); },
       {"error: [StartMenu] Ordner: never read by the setup program; Folder was meant? Its value is lost",
        "warning: [StartMenu] Folder: missing: the uninstall entry is called \"Unbenannt\""}},
      {"a malformed uninstall folder", [](const Medium& m) { m.Replace("Folder=Demo", "Folder=\\"); },
       {"warning: [StartMenu] Folder: a leading, trailing or doubled backslash: no uninstall entry is written"}},
      {"no default path", [](const Medium& m) { m.Replace("defaultPath=C:\\Programme\\Demo\r\n", ""); },
       {"warning: [General] defaultPath: missing: the proposed install directory is \"C:\\App\""}},
      {"the programs folder as default path",
       [](const Medium& m) { m.Replace("C:\\Programme\\Demo", "c:\\programme\\"); },
       {"warning: [General] defaultPath: the programs folder itself: the directory page does not accept it"}},
      {"a relative default path", [](const Medium& m) { m.Replace("C:\\Programme\\Demo", "RelDemo"); },
       {"warning: [General] defaultPath: not an absolute path (a drive letter with \"\\\", or a UNC name)"}},
      {"a default path with \"/\"", [](const Medium& m) { m.Replace("C:\\Programme\\Demo", "C:/Demo"); }, {}},
      {"a default path of three backslashes", [](const Medium& m) { m.Replace("C:\\Programme\\Demo", "\\\\\\Demo"); },
       {"warning: [General] defaultPath: not an absolute path (a drive letter with \"\\\", or a UNC name)"}},
      {"a shortcut to nothing", [](const Medium& m) { m.Replace("DEMO.EXE=Demo", "DEMO.EXE=Demo\r\nHILFE.HLP=Hilfe"); },
       {"warning: [Items] HILFE.HLP: nothing installs this file; the shortcut leads nowhere"}},
      {"two entries with one target",
       [](const Medium& m) { m.Replace("3=Liesmich.txt", "3=Liesmich.txt\r\n4=demo.exe"); m.Write("demo.exe", "x"); },
       {"error: demo.exe: installed to the same place as DEMO.EX_, which it replaces"}},
      {"a compressed name without mapping",
       [](const Medium& m) { m.Replace("XP.DL_", "XP.ZZ_"); m.Write("XP.ZZ_", Packed("XP")); },
       {"warning: XP.ZZ_: no installed name is known for its extension: installed as XP.ZZ_, with its \"_\""}},
      {"no such Windows version", [](const Medium& m) { m.Replace("Windows XP=", "Windows 7="); },
       {"warning: [SystemDepended] Windows 7: no Windows version is called so; these files are never installed"}},
      {"a long comment", [](const Medium& m) { m.Replace("1=DEMO.INI", "1=DEMO.INI\r\n;" + std::string(2100, 'x')); },
       {}},  // a comment line is no value
      {"a value too long",
       [](const Medium& m) { m.Replace("Name=Demo\r\n", "Name=Demo\r\nTitel=" + std::string(2100, 'x') + "\r\n"); },
       {"warning: [General] Titel: never read by the setup program",
        "warning: [General] Titel: longer than 2047 characters: the setup program reads only the first 2047"}},
      // "Größen.tx_" lies on the medium in UTF-8, as make writes it.
      {"an umlaut in a name, the list saved as UTF-8",
       [](const Medium& m) {
         m.Replace("3=Liesmich.txt", "3=Liesmich.txt\r\n4=Gr\xC3\xB6\xC3\x9F" "en.tx_");
         m.Write("Gr\xC3\xB6\xC3\x9F" "en.tx_", Packed("x"));
       },
       {"warning: Setup.lst: saved as UTF-8: the setup program reads code page 1252, so \"\xC3\xBC\" shows as two "
        "characters",
        "error: Gr\xC3\x83\xC2\xB6\xC3\x83\xC5\xB8" "en.tx_: missing on the medium"}},  // "GrÃ¶ÃŸen.tx_"
      {"a group in a sub-folder",
       [](const Medium& m) { m.Replace("[Group]\r\nName=Demo", "[Group]\r\nName=Spiele\\Demo"); },
       {"warning: [Group] Name: a sub-path: where the Start menu's Programs folder has no folder \"Spiele\", no program "
        "group is made and no shortcut in it; the uninstall entry is still called \"Spiele\\Demo deinstalieren\""}},
      {"texts not in code page 1252",
       [](const Medium& m) {
         m.Write("Vertrag.Txt", "\xEF\xBB\xBFLizenzvertrag");
         m.Write("Liesmich.txt", "F\xC3\xBCr Demo");
       },
       {"warning: Vertrag.Txt: saved as UTF-8 with a byte-order mark: the agreement page shows code page 1252, so the "
        "text begins with \"\xC3\xAF\xC2\xBB\xC2\xBF\" and \"\xC3\xBC\" shows as two characters",
        "warning: Liesmich.txt: saved as UTF-8: the read-me page shows code page 1252, so \"\xC3\xBC\" shows as two "
        "characters"}},
      {"a library as entry 1",
       [](const Medium& m) {
         m.Replace("1=DEMO.EX_\r\n2=Beispiel.hd_\r\n3=Liesmich.txt",
                   "1=HELPER.DL_\r\n2=Beispiel.hd_\r\n3=Liesmich.txt\r\n4=DEMO.EX_");
         m.Write("HELPER.DL_", Packed("Hilfe"));
       },
       {"warning: HELPER.DL_: entry 1, the main program, installs as HELPER.DLL, which is not a program (.EXE): the "
        "install offers to start it and a mobile install writes its settings beside it"}},
      // Names the program never reads: near misses lose what they say.
      {"a section in German", [](const Medium& m) { m.Replace("[Items]", "[Eintraege]"); }, {"error: [Eintraege]: a section the setup program never reads; [Items] was meant? Its lines are lost"}},
      {"a section with a doubled letter", [](const Medium& m) { m.Replace("[SystemDepended]", "[SystemDependded]"); },
       {"error: [SystemDependded]: a section the setup program never reads; [SystemDepended] was meant? Its lines are "
        "lost"}},
      {"a section of its own", [](const Medium& m) { m.Replace("[Items]", "[Lizenz]\r\nText=frei\r\n[Items]"); }, {"warning: [Lizenz]: a section the setup program never reads"}},
      {"a key with two letters swapped", [](const Medium& m) { m.Replace("defaultPath=", "defaultPaht="); }, {"error: [General] defaultPaht: never read by the setup program; defaultPath was meant? Its value is lost",
        "warning: [General] defaultPath: missing: the proposed install directory is \"C:\\App\""}},
      {"the software list's version and publisher",
       [](const Medium& m) { m.Replace("Name=Demo\r\n", "Name=Demo\r\nVersion=2.1\r\nPublisher=Kalvento GmbH\r\n"); },
       {"product: Demo, version 2.1, publisher Kalvento GmbH"}},
      {"no product files", [](const Medium& m) { m.Replace("1=DEMO.EX_\r\n2=Beispiel.hd_\r\n3=Liesmich.txt\r\n", ""); },
       {"error: [programfiles]: empty or missing: the install places no file of the product, only the uninstaller",
        "warning: [Items] DEMO.EXE: nothing installs this file; the shortcut leads nowhere"}},
      {"booleans in words", [](const Medium& m) { m.Replace("Name=Demo\r\n", "Name=Demo\r\nOnlyMobile=ja\r\nMobileOption=true\r\n"); },
       {"error: [General] MobileOption: \"true\" is not a number (1 or 0): the setup program reads it as its default, 0",
        "error: [General] OnlyMobile: \"ja\" is not a number (1 or 0): the setup program reads it as its default, 0"}},
      {"a [Windows] entry in a folder",
       [](const Medium& m) { m.Replace("1=DEMO.INI", "1=System\\DEMO.INI"); m.Write("System/DEMO.INI", "[Demo]"); }, {"error: System\\DEMO.INI: a [Windows] entry in a sub-folder: the install makes the folder in the Windows "
        "directory and the uninstall leaves it there"}},
      {"a path longer than Windows takes, and one only in the fallback folder",
       [](const Medium& m) {
         const std::string deep = std::string(200, 'd') + "/" + std::string(60, 'e') + ".txt";
         const std::string fallback = std::string(150, 'f') + "/" + std::string(70, 'g') + ".txt";
         m.Replace("3=Liesmich.txt", "3=Liesmich.txt\r\n4=" + std::string(200, 'd') + "\\" + std::string(60, 'e') +
                                         ".txt\r\n5=" + std::string(150, 'f') + "\\" + std::string(70, 'g') + ".txt");
         m.Write(deep, "x");
         m.Write(fallback, "x");
       },
       {"error: " + std::string(200, 'd') + "\\" + std::string(60, 'e') + ".txt: installed as C:\\Programme\\Demo\\" +
            std::string(200, 'd') + "\\" + std::string(60, 'e') +
            ".txt: 283 characters, more than the 259 Windows takes for a path; the setup program gives the file up",
        "warning: " + std::string(150, 'f') + "\\" + std::string(70, 'g') +
            ".txt: in the profile fallback folder (C:\\Dokumente und Einstellungen\\ and a user name of 20 characters) "
            "282 characters, more than the 259 Windows takes for a path; the setup program gives the file up"}},
      {"an agreement with a zero byte, a read-me with a bell",
       [](const Medium& m) { m.Write("Vertrag.Txt", std::string("Vertrag\r\n\0Rest", 14)); m.Write("Liesmich.txt", "Lies\r\nmich\a"); },
       {"error: Vertrag.Txt: a zero byte in line 2: the page shows the text only up to it (the agreement page)",
        "warning: Liesmich.txt: a control byte (0x07) in line 2: the page shows it as a box or not at all (the read-me "
        "page)"}},
      {"a program as the read-me", [](const Medium& m) { m.Write("Liesmich.txt", std::string("MZ\x90\0\x03\0\0\0\x04\0", 10) + "Programm"); },
       {"error: Liesmich.txt: not a text (7 of its 18 bytes are control bytes): the page shows garbage (the read-me "
        "page)"}},
      {"the old group is the new one", [](const Medium& m) { m.Replace("[Group]\r\nName=Demo", "[Group]\r\nName=Demo\r\nOld=Alt;demo"); },
       {"error: [Group] Old: names the program group \"Demo\" itself: the end of the install empties the group it has "
        "just made"}},
      {"one file listed twice, letter case aside",
       [](const Medium& m) { m.Replace("1=DEMO.INI", "1=DEMO.INI\r\n2=demo.ini"); }, {"error: demo.ini: listed twice (letter case aside): the log names it twice, and a [Windows] file's use count is "
        "released twice at the uninstall"}},
      {"the medium's own name twice, letter case aside", [](const Medium& m) { m.Write("vertrag.txt", "Andere"); }, {"error: Vertrag.Txt: the medium holds Vertrag.Txt, vertrag.txt, one name to Windows: a copy of the medium keeps "
        "only one of them"}},
      {"checksums: one file changed, one line unreadable, one file without a line",
       [](const Medium& m) {
         // CRC-32 of "Lies mich" is 0701627B, of "[Demo]" C1B0A27D; "Vertrag" has 1A5A0B5D.
         m.Replace("[Items]", "[CRC32]\r\n1=0701627B Liesmich.txt\r\n2=C1B0A27C DEMO.INI\r\n3=1A5A0B5D\r\n"
                              "4=1A5A0B5D Vertrag.Txt\r\n[Items]");
       },
       {"warning: Setup.lst: no line of its own in [CRC32]: a change to the list goes unnoticed",
        "error: DEMO.INI: damaged: its CRC-32 is C1B0A27D, the list gives C1B0A27C; the setup program refuses it (a retry "
        "question, then it gives the file up)",
        "warning: [CRC32] 3: not eight hexadecimal digits, a blank and a name: never read",
        "warning: DEMO.EX_: no line in [CRC32]: installed unchecked",
        "warning: Beispiel.hd_: no line in [CRC32]: installed unchecked",
        "warning: XP.DL_: no line in [CRC32]: installed unchecked",
        "warning: Setup.exe: no line in [CRC32]: installed unchecked"}},
      {"names Windows refuses",
       [](const Medium& m) {
         m.Replace("3=Liesmich.txt",
                   "3=Liesmich.txt\r\n4=nul.da_\r\n5=Con.txt\r\n6=Punkt.txt.\r\n7=a<b.txt\r\n8=aux.txt");
         for (const char* name : {"nul.da_", "Con.txt", "Punkt.txt.", "a<b.txt", "aux.txt"}) m.Write(name, "x");
       },
       {"error: nul.da_: a device name: Windows refuses the name, and the install stops at a retry question",
        "error: Con.txt: a device name: Windows refuses the name, and the install stops at a retry question",
        "error: Punkt.txt.: a name ending in a dot or a blank: Windows refuses the name, and the install stops at a "
        "retry question",
        "error: a<b.txt: a character Windows does not allow in a name: Windows refuses the name, and the install stops "
        "at a retry question",
        "error: aux.txt: a device name: Windows refuses the name, and the install stops at a retry question"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mistake);
    const Medium medium;
    c.make(medium);
    std::ostringstream out;
    const int status = hzpack::CheckMedium(medium.Path(), out, false);
    std::vector<std::string> findings;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) findings.push_back(line);
    EXPECT_EQ(findings, c.findings);
    const bool anError = std::any_of(c.findings.begin(), c.findings.end(),
                                     [](const std::string& f) { return f.rfind("error:", 0) == 0; });
    EXPECT_EQ(status, anError ? 1 : 0);
  }
}

// --plan shows what the mistakes do to the install.
TEST(CheckMedium, ThePlanShowsTheConsequences) {
  const Medium medium;
  std::string list = kList;
  const auto replace = [&list](const std::string& from, const std::string& to) {
    list.replace(list.find(from), from.size(), to);
  };
  replace("Name=Demo\r\ndefaultPath", "Name=Demo\r\nOnlyMobile=ja\r\nMobileOption=1\r\ndefaultPath");
  replace("[Group]\r\nName=Demo", "[Group]\r\nName=Demo\r\nOld=Demo");
  replace("1=DEMO.INI", "1=System\\DEMO.INI\r\n2=" + std::string(250, 'w') + ".txt");
  replace("[Items]", "[CRC32]\r\n1=0701627B Liesmich.txt\r\n[Eintraege]");
  medium.Write("Setup.lst", list);
  medium.Write("System/DEMO.INI", "[Demo]");
  medium.Write(std::string(250, 'w') + ".txt", "w");
  std::ostringstream out;
  EXPECT_EQ(hzpack::CheckMedium(medium.Path(), out, true), 1);
  for (const std::string& line : std::vector<std::string>{"never read: [Eintraege] and its lines\n", "options: MobileOption=1 OnlyMobile=0\n",
        "  File3  Liesmich.txt -> c:\\programme\\demo\\liesmich.txt  (CRC-32 0701627B)\n",
        "  File4  System\\DEMO.INI -> c:\\windows\\system\\demo.ini  (its folder stays in the Windows directory)\n",
        "  File5  " + std::string(250, 'w') + ".txt -> c:\\windows\\" + std::string(250, 'w') +
            ".txt  (path too long: given up, not logged)\n",
        "old group cleared at the end: \"Demo\" (the new group itself: its shortcuts go)\n"}) {
    EXPECT_NE(out.str().find(line), std::string::npos) << line << out.str();
  }
}

}  // namespace
