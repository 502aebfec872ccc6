// The wizard created in this process, its handlers pressed as the automatic
// sequence presses them and its controls read through the UI driver. The
// read-me and agreement texts of the sample medium lie beside the program.
#include "wizard/install_wizard.h"

#include "system/process_values.h"
#include "system/helpers.h"
#include "system/dialogs.h"
#include "system/seam.h"
#include "tests/startup/test_support.h"
#include "tests/support/test_files.h"
#include "tests/support/answer_dialog.h"

#include <functional>
#include <vector>

namespace {

class RecordedSteps : public StepTree {
public:
  void SelectStep(int index) override { selected.push_back(index); }
  std::vector<int> selected;
};

// A control of the wizard by class and the start of its caption.
HWND Control(HWND wizard, const std::string& cls, const std::string& captionStart) {
  for (HWND c : uidriver::Descendants(wizard)) {
    if (uidriver::ClassName(c) == cls && uidriver::Text(c).rfind(captionStart, 0) == 0) return c;
  }
  ADD_FAILURE() << "no " << cls << " \"" << captionStart << "\"";
  return nullptr;
}

bool Checked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class Wizard : public ::testing::Test {
protected:
  const uidriver::ScreenLock screen_;
  const kvtest::TempDir folder_;
  RecordedSteps steps_;
  std::unique_ptr<InstallWizard> wizard_;

  void SetUp() override {
    SetApplicationTitle("Setup");
    AutoMode = false;
    ProgName = "Demo Manager";
    DefaultPath = folder_.Path() + "Demo";
    MobileOption = false;
    OnlyMobile = false;
  }
  void TearDown() override {
    wizard_.reset();
    seam::SimulateRestrictedAccount(false);
    seam::SimulateWindowsVersion(nullptr);
    AutoMode = false;
  }

  void Create() {
    wizard_ = std::make_unique<InstallWizard>(nullptr, steps_);
    wizard_->Show();
  }
  HWND Wnd() const { return wizard_->Handle(); }
  HWND Next() const { return uidriver::Descendants(Wnd()).end()[-2]; }
  HWND PathEdit() const {
    std::vector<HWND> edits;
    for (HWND c : uidriver::Descendants(Wnd())) {
      if (uidriver::ClassName(c) == "Edit") edits.push_back(c);
    }
    return edits.at(2);
  }
  // Welcome, Info, BGB (agreement accepted), Path: the automatic sequence.
  void ToPathPage() {
    wizard_->GoForward();
    wizard_->GoForward();
    wizard_->AcceptAgreement();
    wizard_->GoForward();
    ASSERT_EQ(wizard_->ActivePageName(), "Path");
  }
  // Next on page Path with a dialog answered by act, if one comes.
  wine_test::Shown NextOnPath(const std::string& path, const std::function<void(HWND)>& act) {
    SetWindowTextA(PathEdit(), path.c_str());
    if (!act) {
      wizard_->GoForward();
      return {};
    }
    return wine_test::ShowAndAnswer(
        [&] {
          wizard_->GoForward();
          return 0;
        },
        act);
  }
};

TEST(WizardText, TheProgMarkerAndTheFallbackFolder) {
  EXPECT_EQ(ReplaceProgMarker("richtet <Prog> ein", "Demo"), "richtet Demo ein");
  EXPECT_EQ(ReplaceProgMarker("ohne Marke", "Demo"), "ohne Marke");
  EXPECT_EQ(ReplaceProgMarker("<Prog> und <Prog>", "X"), "X und <Prog>");
  EXPECT_EQ(ReplaceProgMarker("<Prog>" + std::string(300, 'a'), "X"), "X" + std::string(255, 'a'));
  EXPECT_EQ(LastPathComponent("C:\\Programme\\Demo"), "Demo");
  EXPECT_EQ(LastPathComponent("Demo"), "Demo");
  EXPECT_EQ(FallbackFolder("E:\\Demo"),
            AddBackslash(GetProfilesDirectory()) + GetUserLoginName() + "\\Demo");
}

TEST_F(Wizard, CreationFillsThePagesFromTheMediumAndTheAccount) {
  Create();
  const HWND wnd = Wnd();
  EXPECT_EQ(wizard_->ActivePageName(), "Welcome");
  EXPECT_TRUE(uidriver::IsVisible(Control(wnd, "Static", " 1. Herzlich Willkommen!")));
  EXPECT_FALSE(uidriver::IsVisible(Control(wnd, "Static", " 2. Neueste Informationen")));
  EXPECT_EQ(uidriver::Text(Control(wnd, "Static", "Dieses")),
            "Dieses Installationsprogramm richtet Demo Manager auf Ihren Computer ein. Bei Bedarf "
            "können Sie es wieder vollständig entfernen (unter Start, Einstellungen, "
            "Systemsteuerung, Software).");
  EXPECT_EQ(uidriver::Text(Control(wnd, "Button", "Nur für mich")),
            "Nur für mich (" + GetUserLoginName() + ")");
  EXPECT_TRUE(uidriver::IsEnabled(Control(wnd, "Button", "Jeden")));

  std::string readMe, agreement;
  ASSERT_TRUE(LoadTextFile(GetAppDir() + "Liesmich.txt", readMe));
  ASSERT_TRUE(LoadTextFile(GetAppDir() + "Vertrag.Txt", agreement));
  std::vector<std::string> edits;
  for (HWND c : uidriver::Descendants(wnd)) {
    if (uidriver::ClassName(c) == "Edit") edits.push_back(uidriver::Text(c));
  }
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0], readMe);
  EXPECT_EQ(edits[1], agreement);
  EXPECT_EQ(edits[2], DefaultPath);
  EXPECT_NE(readMe.find("\r\n"), std::string::npos);

  // The buttons, left to right.
  const std::vector<HWND> all = uidriver::Descendants(wnd);
  const HWND back = all.end()[-3], next = all.end()[-2], end = all.end()[-1];
  EXPECT_EQ(uidriver::Text(back), "<  &Zurück");
  EXPECT_FALSE(uidriver::IsEnabled(back));
  EXPECT_EQ(uidriver::Text(next), "&Weiter  >");
  EXPECT_TRUE(uidriver::IsEnabled(next));
  EXPECT_EQ(uidriver::Text(end), "&Beenden");
}

TEST_F(Wizard, NextAndBackWalkThePagesWithTheAgreementEnforced) {
  Create();
  const std::vector<HWND> all = uidriver::Descendants(Wnd());
  const HWND back = all.end()[-3], next = all.end()[-2];
  const HWND yes = Control(Wnd(), "Button", "&Ja, ich");
  EXPECT_TRUE(Checked(Control(Wnd(), "Button", "&Nein, ich")));
  enum Press { kNext, kBack, kYes, kNo, kClickYes };
  const struct Step {
    Press press;
    const char* why;
    const char* page;
    bool backEnabled, nextEnabled;
    const char* nextCaption;
  } walk[] = {
      {kNext, "Welcome -> Info", "Info", true, true, "&Weiter  >"},
      {kNext, "Info -> BGB, not accepted yet", "BGB", true, false, "&Weiter  >"},
      {kYes, "accepted", "BGB", true, true, "&Weiter  >"},
      {kNo, "refused", "BGB", true, false, "&Weiter  >"},
      {kBack, "Back to Info enables Next whatever the choice", "Info", true, true, "&Weiter"},
      {kNext, "BGB again, still refused", "BGB", true, false, "&Weiter"},
      {kClickYes, "a real click checks Ja and runs its handler", "BGB", true, true, "&Weiter"},
      {kNext, "BGB -> Path", "Path", true, true, "&Weiter"},
      {kBack, "the agreement stays accepted", "BGB", true, true, "&Weiter"},
      {kNext, "BGB -> Path", "Path", true, true, "&Weiter"},
      {kNext, "Path -> ShortCutsAndUser: the directory is created", "ShortCutsAndUser", true, true, "&Fertig"},
      {kBack, "", "Path", true, true, "&Weiter"},
      {kBack, "", "BGB", true, true, "&Weiter"},
      {kBack, "", "Info", true, true, "&Weiter"},
      {kBack, "nothing before the first page", "Welcome", false, true, "&Weiter"},
      {kBack, "", "Welcome", false, true, "&Weiter"},
  };
  for (const Step& step : walk) {
    SCOPED_TRACE(std::string(step.page) + ": " + step.why);
    switch (step.press) {
      case kNext: wizard_->GoForward(); break;
      case kBack: wizard_->GoBack(); break;
      case kYes: wizard_->AcceptAgreement(); break;
      case kNo: wizard_->DeclineAgreement(); break;
      case kClickYes:
        SendMessageA(yes, BM_CLICK, 0, 0);
        EXPECT_TRUE(Checked(yes));
        break;
    }
    EXPECT_EQ(wizard_->ActivePageName(), step.page);
    EXPECT_EQ(uidriver::IsEnabled(back), step.backEnabled);
    EXPECT_EQ(uidriver::IsEnabled(next), step.nextEnabled);
    EXPECT_EQ(uidriver::Text(next), step.nextCaption);
    if (step.press == kNext && std::string(step.page) == "Path") {
      EXPECT_EQ(GetFocus(), PathEdit());
    }
  }
  EXPECT_TRUE(DirectoryExists(DefaultPath));
  // The step tree followed every page.
  EXPECT_EQ(steps_.selected, (std::vector<int>{2, 3, 2, 3, 4, 3, 4, 5, 4, 3, 2, 1}));
}

TEST_F(Wizard, ARootLikeDefaultPathDisablesNextFromTheFirstPage) {
  DefaultPath = "C:\\Programme";
  Create();
  EXPECT_FALSE(uidriver::IsEnabled(Next()));
  SetWindowTextA(PathEdit(), "C:\\Programme\\Demo");
  EXPECT_TRUE(uidriver::IsEnabled(Next()));
}

// Which path passes is decided natively (InstallDirCheck); here the
// window carries the answers out: the root message, the question and the
// folder it makes.
TEST_F(Wizard, PathChecksOnNext) {
  const std::string mainDirectory =
      "Das Programm kann nicht in einem Hauptverzeichnis installiert werden. Geben Sie bitte einen "
      "Namen für ein Unterverzeichnis an!";
  struct Case {
    const char* name;
    std::string path;
    const char* answer;
    std::string dialogText;
    bool passes;
  } cases[] = {
      {"three characters", "C:\\", "OK", mainDirectory, false},
      {"asked, Yes creates", folder_.Path() + "Asked\\Yes", "&Ja", "Verzeichnis existiert nicht!\r\rErstellen?",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Create();
    ToPathPage();
    SendMessageA(Control(Wnd(), "Button", "Wenn Verzeichnis"), BM_SETCHECK, BST_UNCHECKED, 0);
    const wine_test::Shown shown = NextOnPath(c.path, wine_test::Press(c.answer));
    EXPECT_EQ(shown.view.text, c.dialogText);
    EXPECT_EQ(wizard_->ActivePageName(), c.passes ? "ShortCutsAndUser" : "Path");
    if (c.passes) {
      EXPECT_TRUE(DirectoryExists(c.path));
    }
    EXPECT_EQ(uidriver::Text(PathEdit()), c.path);
  }
}

// A drive that does not exist, and a relative name, which would be made
// wherever the program runs.
TEST_F(Wizard, ADirectoryThatCannotBeMadeOrIsRelativeProposesTheProfileFolder) {
  const auto warning = [](const std::string& path) {
    return "Konnte Verzeichnis \"" + path +
           "\" nicht erstellen oder in das Verzeichnis kann nicht kopiert "
           "werden!\r\rEntweder ist das Laufwerkt nicht schreibbereit oder es fehlt eine "
           "Schreibberechtigung für dieses Laufwerk bzw. für dieses Verzeichnis.\r\rBitte installieren "
           "Sie das Programm in ein Verzeichnis, für das Sie Schreib- und Leserechte besitzen (das "
           "Setup-Programm schlägt nun einmalig ein anderes Verzeichnis vor).";
  };
  const std::string askAdministrator =
      "\r\rOder Sie melden sich als Administrator an, um das Programm zu installieren bzw. Sie "
      "bitten den Administrator, Ihnen entsprechende Berechtigungen zur Installation des "
      "Programmes einzuräumen.";
  for (const char* path : {"Q:\\Demo", "RelDemo"}) {
    for (const bool restricted : {false, true}) {
      SCOPED_TRACE(std::string(path) + (restricted ? ", not an administrator" : ", administrator"));
      seam::SimulateRestrictedAccount(restricted);
      Create();
      ToPathPage();
      const wine_test::Shown shown = NextOnPath(path, wine_test::Press("OK"));
      EXPECT_EQ(shown.view.title, "Warnung");
      // Wine names itself Windows 7, which the program counts as Vista.
      EXPECT_EQ(shown.view.text, warning(path) + (restricted ? askAdministrator : ""));
      EXPECT_EQ(wizard_->ActivePageName(), "Path");
      EXPECT_EQ(uidriver::Text(PathEdit()), FallbackFolder(path));
      EXPECT_FALSE(DirectoryExists(path));
    }
  }
}

TEST_F(Wizard, TheWriteProbeLeavesTheUsersFilesAlone) {
  const std::string dir = folder_.Path() + "Kept";
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const char* name : {"\\FileTest.txt", "\\FileTest1.txt"}) kvtest::WriteBytes(dir + name, "thesis");
  Create();
  ToPathPage();
  NextOnPath(dir, nullptr);
  EXPECT_EQ(wizard_->ActivePageName(), "ShortCutsAndUser");
  for (const char* name : {"\\FileTest.txt", "\\FileTest1.txt"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(kvtest::ReadBytes(dir + name), kvtest::ToBytes("thesis"));
  }
  EXPECT_FALSE(FileExists(dir + "\\FileTest2.txt"));
}

// Run as an unprivileged user by unwritable_directory_test.sh
// (Wizard.UnwritableDirectoryAsUnprivilegedUser), which makes C:\ReadOnly
// belong to root; as root Wine writes anywhere, so it is left out of the test
// list, and skipped where it is run by hand.
TEST_F(Wizard, UnwritableDirectory) {
  if (!DirectoryExists("C:\\ReadOnly") || DirectoryWritable("C:\\ReadOnly")) GTEST_SKIP();
  Create();
  ToPathPage();
  const wine_test::Shown shown = NextOnPath("C:\\ReadOnly\\Demo", wine_test::Press("OK"));
  EXPECT_EQ(shown.view.text.rfind("Konnte Verzeichnis \"C:\\ReadOnly\\Demo\" nicht erstellen oder in "
                                  "das Verzeichnis kann nicht kopiert werden!\r\r",
                                  0),
            0u);
  EXPECT_EQ(wizard_->ActivePageName(), "Path");
  EXPECT_EQ(uidriver::Text(PathEdit()), FallbackFolder("Demo"));
  // A file left from before does not make the folder look writable.
  const wine_test::Shown stale = NextOnPath("C:\\ReadOnly\\Stale", wine_test::Press("OK"));
  EXPECT_EQ(stale.view.title, "Warnung");
  EXPECT_EQ(wizard_->ActivePageName(), "Path");
}

// Automatic mode on a drive that does not exist: the profile folder is made
// and shown, with no question.
TEST_F(Wizard, AutomaticModeSwitchesSilentlyToTheProfileFolder) {
  AutoMode = true;
  Create();
  ToPathPage();
  const std::string fallback = FallbackFolder("Q:\\Demo");
  RemoveDirectoryA(fallback.c_str());
  NextOnPath("Q:\\Demo", nullptr);
  EXPECT_EQ(wizard_->ActivePageName(), "ShortCutsAndUser");
  EXPECT_EQ(uidriver::Text(PathEdit()), fallback);
  EXPECT_TRUE(DirectoryExists(fallback));
  RemoveDirectoryA(fallback.c_str());
}

TEST_F(Wizard, AccountsWithoutAdministratorRights) {
  const SimulatedWindowsVersion nt4{2, 4, 0, "Service Pack 6"}, w2k{2, 5, 0, ""}, xp{2, 5, 1, ""},
      vista{2, 6, 0, ""}, w98{1, 4, 10, ""};
  struct Case {
    const char* name;
    const SimulatedWindowsVersion* version;
    bool warned;
  } cases[] = {
      {"Windows NT", &nt4, true},         {"Windows 2000", &w2k, true},
      {"Windows XP", &xp, true},          {"Windows Vista", &vista, false},
      {"Windows 98", &w98, false},
  };
  // The parent of an unreachable default directory cannot be written.
  DefaultPath = "Q:\\Programme\\Demo";
  seam::SimulateRestrictedAccount(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seam::SimulateWindowsVersion(c.version);
    ASSERT_EQ(GetWindowsVersionName(), c.name);
    const wine_test::Shown shown = wine_test::ShowAndAnswer(
        [&] {
          Create();
          return 0;
        },
        wine_test::Press("OK"), c.warned ? 5000 : 1000);
    EXPECT_EQ(!shown.view.text.empty(), c.warned);
    if (c.warned) {
      EXPECT_EQ(shown.view.title, "Information");
      EXPECT_EQ(shown.view.text.rfind(std::string("Das Setup-Programm hat festgestellt, dass Sie "
                                                  "Demo Manager auf ein Betriebsystem (") +
                                          c.name + ") installieren möchten",
                                      0),
                0u);
      EXPECT_NE(shown.view.text.find("vorgeschlagene Verzeichnis (Q:\\Programme\\Demo) installieren lässt"),
                std::string::npos);
    }
    const HWND allUsers = Control(Wnd(), "Button", "Jeden");
    EXPECT_FALSE(uidriver::IsEnabled(allUsers));
    EXPECT_TRUE(Checked(Control(Wnd(), "Button", "Nur für mich")));
  }
}

TEST_F(Wizard, MobileModeOptions) {
  struct Case {
    bool option, only;
    bool shown, checked, enabled;
  } cases[] = {
      {false, true, false, false, true},
      {true, false, true, false, true},
      {true, true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("MobileOption=") + (c.option ? "1" : "0") + " OnlyMobile=" +
                 (c.only ? "1" : "0"));
    MobileOption = c.option;
    OnlyMobile = c.only;
    Create();
    const HWND mobile = Control(Wnd(), "Button", "Programm zur Nutzung");
    const HWND hint = Control(Wnd(), "Static", "Ändern Sie");
    ToPathPage();
    EXPECT_EQ(uidriver::IsVisible(mobile), c.shown);
    EXPECT_EQ(uidriver::IsVisible(Control(Wnd(), "Static", "Aktivieren Sie")), c.shown);
    EXPECT_EQ(Checked(mobile), c.checked);
    EXPECT_EQ(uidriver::IsEnabled(mobile), c.enabled);
    EXPECT_EQ(uidriver::IsVisible(hint), c.checked);
    if (c.shown && c.enabled) {
      SendMessageA(mobile, BM_CLICK, 0, 0);
      EXPECT_TRUE(uidriver::IsVisible(hint));
    }
    wizard_->GoForward();
    ASSERT_EQ(wizard_->ActivePageName(), "ShortCutsAndUser");
    const bool mobileRun = Checked(mobile);
    for (const char* box : {"Einen Eintrag in das Programm", "Einen Eintrag in das &Start", "Auf dem Desktop"}) {
      EXPECT_EQ(Checked(Control(Wnd(), "Button", box)), !mobileRun) << box;
      EXPECT_EQ(uidriver::IsEnabled(Control(Wnd(), "Button", box)), !mobileRun) << box;
    }
    EXPECT_EQ(uidriver::IsVisible(Control(Wnd(), "Button", "Jeden")), !mobileRun);
    EXPECT_EQ(uidriver::Text(Control(Wnd(), "Static", "Diese Anwendung wird")),
              mobileRun ? "Diese Anwendung wird auf einem mobilen Datenträger installiert."
                        : "Diese Anwendung wird installiert für:");
  }
}

TEST_F(Wizard, TheFolderBrowserKeepsTheDefaultDirectorysName) {
  DefaultPath = "C:\\Programme\\Demo";
  Create();
  ToPathPage();
  bool done = false;
  const wine_test::Shown shown = wine_test::ShowAndAnswer(
      [&] {
        PostMessageA(Control(Wnd(), "Button", "..."), BM_CLICK, 0, 0);
        for (int i = 0; i < 200 && !done; ++i) {
          ProcessMessages();
          Sleep(20);
        }
        return 0;
      },
      [&](HWND dialog) {
        wine_test::Press("OK")(dialog);
        Sleep(200);
        done = true;
      });
  EXPECT_EQ(shown.view.text.find("Bitte wählen Sie ein Verzeichnis"), 0u) << shown.view.text;
  // Nothing chosen but the root: the desktop folder.
  EXPECT_EQ(uidriver::Text(PathEdit()), AddBackslash(GetSpecialFolder(0x10)) + "Demo");
}

}  // namespace
