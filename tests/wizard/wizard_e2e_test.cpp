// SETUP.EXE on a test medium, its wizard driven through the UI driver the way
// a user clicks through it: placement, every page (with screenshots), the
// directory warning, a missing agreement text and "&Beenden".
#include "system/helpers.h"
#include "tests/startup/test_support.h"
#include "tests/support/test_files.h"

namespace {

constexpr DWORD kTimeoutMs = 10000;

// A medium in folder with the program, a list naming installDir as the
// default, and the sample texts unless left out.
std::string MakeMedium(const kvtest::TempDir& folder, const std::string& installDir, bool withAgreement) {
  const std::string& dir = folder.Path();
  kvtest::WriteBytes(dir + "Setup.lst", "[General]\r\nName=Demo Manager\r\ndefaultPath=" +
                                                 installDir +
                                                 "\r\nMobileOption=1\r\n[StartMenu]\r\nFolder=KvTest.Wizard\r\n");
  kvtest::WriteBytes(dir + "Liesmich.txt", kvtest::ReadText(GetAppDir() + "Liesmich.txt"));
  if (withAgreement) kvtest::WriteBytes(dir + "Vertrag.Txt", kvtest::ReadText(GetAppDir() + "Vertrag.Txt"));
  CopyFileA((GetAppDir() + "SETUP.EXE").c_str(), (dir + "SETUP.EXE").c_str(), FALSE);
  return dir + "SETUP.EXE";
}

// Clicks and gives the wizard a moment to carry the click out.
void Press(HWND button) {
  uidriver::Click(button);
  Sleep(300);
}

TEST(WizardEndToEnd, PagesInFrontOfTheShellWindowWithScreenshots) {
  const uidriver::ScreenLock screen;
  const kvtest::TempDir folder;
  const std::string installDir = folder.Path() + "Ziel";
  const uidriver::Process p = uidriver::Process::Launch(MakeMedium(folder, installDir, true), "");
  const HWND shell = uidriver::WaitForTopWindow(p.Id(), "Tf_Setup", "", kTimeoutMs);
  const HWND wizard = uidriver::WaitForTopWindow(p.Id(), "Tf_Aktion", "", kTimeoutMs);
  ASSERT_TRUE(shell && wizard);
  EXPECT_EQ(uidriver::Text(wizard), "Setup");
  EXPECT_FALSE(uidriver::Style(wizard) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  // Centred in the area right of the step tree.
  const HWND tree = uidriver::FindChild(shell, "SysTreeView32");
  RECT client;
  GetClientRect(shell, &client);
  const RECT treeRect = uidriver::ScreenRect(tree), shellRect = uidriver::ScreenRect(shell);
  const RECT w = uidriver::ScreenRect(wizard);
  const int treeWidth = treeRect.right - treeRect.left;
  EXPECT_EQ(w.left, (client.right - treeWidth - (w.right - w.left)) / 2 + treeWidth);
  EXPECT_EQ(w.top, ((shellRect.bottom - shellRect.top) - (w.bottom - w.top)) / 2);

  const std::vector<HWND> all = uidriver::Descendants(wizard);
  const HWND next = all.end()[-2];
  std::vector<HWND> edits;
  for (HWND c : all) {
    if (uidriver::ClassName(c) == "Edit") edits.push_back(c);
  }
  ASSERT_EQ(edits.size(), 3u);
  const HWND pathEdit = edits[2];
  const char* pages[] = {"welcome", "info", "agreement", "directory", "shortcuts"};
  for (int page = 0; page < 5; ++page) {
    SCOPED_TRACE(pages[page]);
    EXPECT_EQ(uidriver::TreeSelectedIndex(tree), page + 1);
    testsupport::SaveShot(wizard, std::string("wizard-") + pages[page]);
    if (page == 2) Press(uidriver::FindChild(wizard, "Button", "&Ja, ich akzeptiere die Bedingungen der Lizenzvereinbarung "));
    if (page == 3) {
      // The directory warning, shot while it is up, then the user's own choice.
      SendMessageA(pathEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Q:\\Demo"));
      uidriver::Click(next);
      const HWND warning = uidriver::WaitForDialog(p.Id(), kTimeoutMs);
      ASSERT_TRUE(warning);
      testsupport::SaveShot(warning, "wizard-directory-warning");
      uidriver::PressDialogButton(warning, "OK");
      Sleep(300);
      SendMessageA(pathEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(installDir.c_str()));
    }
    Press(next);
  }
  // "&Fertig" ran the install and reports it (Wine counts as Vista: no
  // question), then the wizard closes, and with it the program.
  const HWND done = uidriver::WaitForDialog(p.Id(), kTimeoutMs);
  ASSERT_TRUE(done);
  EXPECT_EQ(uidriver::ReadDialog(done).text,
            "Das Programm wurde ordnungsgemäß im Verzeichnis \r\r" + installDir + "\r\rinstalliert!\r\r");
  uidriver::PressDialogButton(done, "OK");
  EXPECT_TRUE(p.WaitForExit(kTimeoutMs));
  EXPECT_EQ(p.ExitCode(), 0u);
  EXPECT_TRUE(DirectoryExists(installDir));
}

TEST(WizardEndToEnd, AMissingAgreementIsReportedAndEndEndsTheProgram) {
  const uidriver::ScreenLock screen;
  const kvtest::TempDir folder;
  const std::string setup = MakeMedium(folder, folder.Path() + "Ziel", false);
  const uidriver::Process p = uidriver::Process::Launch(setup, "");
  const HWND box = uidriver::WaitForDialog(p.Id(), kTimeoutMs);
  ASSERT_TRUE(box);
  const uidriver::DialogView view = uidriver::ReadDialog(box);
  EXPECT_EQ(view.title, "Setup");
  EXPECT_TRUE(view.hasIcon);
  EXPECT_EQ(view.text, "Datei " + ExtractFilePath(setup) + "Vertrag.Txt kann nicht geöffnet werden.");
  uidriver::PressDialogButton(box, "OK");
  // The wizard opens all the same, with an empty agreement.
  const HWND wizard = uidriver::WaitForTopWindow(p.Id(), "Tf_Aktion", "", kTimeoutMs);
  ASSERT_TRUE(wizard);
  std::vector<std::string> edits;
  for (HWND c : uidriver::Descendants(wizard)) {
    if (uidriver::ClassName(c) == "Edit") edits.push_back(uidriver::Text(c));
  }
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[1], "");
  uidriver::Click(uidriver::FindChild(wizard, "Button", "&Beenden"));
  EXPECT_TRUE(p.WaitForExit(kTimeoutMs));
  EXPECT_EQ(p.ExitCode(), 2u);
}

}  // namespace
