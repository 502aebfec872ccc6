// The wizard's window, its pages and the navigation between them.
#include "wizard/install_wizard.h"

#include "system/process_values.h"
#include "system/helpers.h"
#include "system/dialogs.h"
#include "system/handles.h"
#include "system/program_end.h"

#include <commctrl.h>

#include <stdexcept>

std::unique_ptr<InstallWizard> TheInstallWizard;

namespace {

using form::kWhite;
using form::kGrey;
using form::kNavy;
using form::kRed;

using form::Kind;


// A fixed dialog window with a caption but no title-bar buttons.
const form::Design kForm{"Tf_Aktion", "Setup", WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN,
                         WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, 622, 437,
                         {{"Arial", 15}}};

const form::Look kHeaderLook{{nullptr, 18, true}, kWhite, kGrey};
const form::Look kSideLook{{}, form::kDefaultColour, kNavy};
const form::Look kSideLabelLook{{nullptr, 22, true}, kWhite, kNavy};
const form::Look kMemoLook{{"Courier New", 15}};
const form::Look kUnderlinedLook{{nullptr, 0, false, false, true}};
const form::Look kRedLook{{}, kRed};

// A header bar, left-aligned text in the middle of its height.
constexpr DWORD kHeader = SS_LEFT | SS_CENTERIMAGE;

}  // namespace

using A = InstallWizard;
const form::Control<A> InstallWizard::kControls[] = {
    // member            kind              caption                                         style      x    y    w    h  look  parent  event
    {&A::pages_, Kind::Container, "", 0, 0, 0, 622, 380},
    {&A::backButton_, Kind::Button, "<  &Zurück", WS_DISABLED, 290, 392, 100, 32, nullptr, nullptr, &A::GoBack},
    {&A::nextButton_, Kind::Button, "&Weiter  >", BS_DEFPUSHBUTTON, 396, 392, 100, 32, nullptr, nullptr, &A::GoForward},
    {&A::quitButton_, Kind::Button, "&Beenden", 0, 510, 392, 100, 32, nullptr, nullptr, &A::Quit},

    {&A::welcomePage_, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::pages_},
    {&A::welcomeHeader_, Kind::Label, " 1. Herzlich Willkommen!", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::welcomePage_},
    {&A::sidePanel_, Kind::Container, "", 0, 0, 34, 170, 346, &kSideLook, &A::welcomePage_},
    {&A::sideLabel_, Kind::Label, "Kalvento Setup-Programm", SS_CENTER, 10, 24, 150, 100, &kSideLabelLook, &A::sidePanel_},
    {&A::welcomeText_, Kind::Label, "Dieses Installationsprogramm richtet <Prog> auf Ihren Computer ein. Bei Bedarf können Sie es wieder vollständig entfernen (unter Start, Einstellungen, Systemsteuerung, Software).", 0, 190, 60, 416, 110, nullptr, &A::welcomePage_},
    {&A::welcomeHint_, Kind::Label, "Drücken Sie \"Weiter\" um fortzufahren, oder \"Beenden\", um die Installation abzubrechen.", 0, 190, 190, 416, 60, nullptr, &A::welcomePage_},

    {&A::infoPage_, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::pages_},
    {&A::infoHeader_, Kind::Label, " 2. Neueste Informationen", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::infoPage_},
    {&A::readMeMemo_, Kind::Memo, "", 0, 16, 44, 590, 296, &kMemoLook, &A::infoPage_},
    {&A::infoHint_, Kind::Label, " Bitte lesen Sie den Inhalt dieser Informationsdatei sorgfältig durch.", 0, 16, 348, 590, 22, nullptr, &A::infoPage_},

    {&A::agreementPage_, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::pages_},
    {&A::agreementHeader_, Kind::Label, " 3. Lizenzbedingungen akzeptiert?", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::agreementPage_},
    {&A::agreementMemo_, Kind::Memo, "", 0, 16, 44, 590, 262, &kMemoLook, &A::agreementPage_},
    {&A::acceptButton_, Kind::RadioButton, "&Ja, ich akzeptiere die Bedingungen der Lizenzvereinbarung ", WS_GROUP | WS_TABSTOP, 16, 316, 590, 24, nullptr, &A::agreementPage_, &A::AcceptAgreement},
    {&A::declineButton_, Kind::RadioButton, "&Nein, ich akzeptiere die Bedingungen der Lizenzvereinbarung nicht", 0, 16, 342, 590, 24, nullptr, &A::agreementPage_, &A::DeclineAgreement},

    {&A::pathPage_, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::pages_},
    {&A::pathHeader_, Kind::Label, " 4. Installationsverzeichnis festlegen", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::pathPage_},
    {&A::pathLabel_, Kind::Label, "Installationsverzeichnis ( Übernahme dieser Vorgabe wird empfohlen ):", 0, 16, 50, 590, 22, nullptr, &A::pathPage_},
    {&A::pathEdit_, Kind::Edit, "", 0, 16, 74, 548, 27, nullptr, &A::pathPage_, &A::EnableNextForPath},
    {&A::browseButton_, Kind::Button, "...", 0, 570, 74, 36, 27, nullptr, &A::pathPage_, &A::BrowseForDirectory},
    {&A::createPathBox_, Kind::CheckBox, "Wenn Verzeichnis noch nicht besteht, ohne Nachfrage erstellen", 0, 16, 112, 590, 24, nullptr, &A::pathPage_},
    {&A::mobileModeBox_, Kind::CheckBox, "Programm zur Nutzung im Mobilen Modus installieren ", 0, 16, 152, 590, 24, &kUnderlinedLook, &A::pathPage_, &A::ShowMobileHint},
    {&A::mobileHint_, Kind::Label, "Aktivieren Sie diese Option, wenn das Programm auf einen Wechseldatenträger, z.B. einen USB-Stick, installiert werden soll. Es wird in diesem Fall z.B. kein Eintrag für das Windows-Startmenü erstellt.", 0, 36, 180, 570, 64, nullptr, &A::pathPage_},
    {&A::mobileDriveHint_, Kind::Label, "Ändern Sie den Laufwerksbuchstaben \"C:\" in den derzeitgen Laufwerksbuchstaben ihres mobilen Datenträgers um (z.B. \"H:\"), die Programmpfade etc. sollten Sie nach Möglichkeit belassen.", 0, 36, 250, 570, 64, &kRedLook, &A::pathPage_},
    {&A::pathHint_, Kind::Label, "Drücken Sie anschließend den Schalter \"Weiter\".", 0, 16, 348, 590, 22, nullptr, &A::pathPage_},

    {&A::shortcutsPage_, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::pages_},
    {&A::shortcutsHeader_, Kind::Label, " 5. Shortcuts und Benutzer wählen", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::shortcutsPage_},
    {&A::linksLabel_, Kind::Label, "Programmverknüpfungen anlgen:", 0, 16, 50, 590, 22, nullptr, &A::shortcutsPage_},
    {&A::programMenuBox_, Kind::CheckBox, "Einen Eintrag in das Programm-Menü vornehmen", 0, 32, 76, 574, 24, nullptr, &A::shortcutsPage_},
    {&A::startMenuBox_, Kind::CheckBox, "Einen Eintrag in das &Startmenü vornehmen", 0, 32, 102, 574, 24, nullptr, &A::shortcutsPage_},
    {&A::desktopBox_, Kind::CheckBox, "Auf dem Desktop eine &Verknüpfung anlegen", 0, 32, 128, 574, 24, nullptr, &A::shortcutsPage_},
    {&A::usersLabel_, Kind::Label, "Diese Anwendung wird installiert für:", 0, 16, 172, 590, 22, nullptr, &A::shortcutsPage_},
    {&A::currentUserButton_, Kind::RadioButton, "Nur für mich", WS_GROUP | WS_TABSTOP, 32, 198, 574, 24, nullptr, &A::shortcutsPage_},
    {&A::allUsersButton_, Kind::RadioButton, "Jeden, der diesen Computer verwendet  (alle Benutzer)", 0, 32, 224, 574, 24, nullptr, &A::shortcutsPage_},
    {&A::shortcutsHint_, Kind::Label, "Drücken Sie anschließend den Schalter \"Fertig\", um mit der Installation zu beginnen.", 0, 16, 348, 590, 22, nullptr, &A::shortcutsPage_},

    {&A::copyPage_, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::pages_},
    {&A::copyHeader_, Kind::Label, " 6. Dateien auf den Computer kopieren", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::copyPage_},
    {&A::fromLabel_, Kind::Label, "Von:", 0, 16, 60, 100, 22, nullptr, &A::copyPage_},
    {&A::fromPanel_, Kind::Label, "", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, 16, 84, 590, 26, nullptr, &A::copyPage_, nullptr, WS_EX_STATICEDGE},
    {&A::toLabel_, Kind::Label, "Nach:", 0, 16, 124, 100, 22, nullptr, &A::copyPage_},
    {&A::toPanel_, Kind::Label, "", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, 16, 148, 590, 26, nullptr, &A::copyPage_, nullptr, WS_EX_STATICEDGE},
    {&A::copyGauge_, Kind::Gauge, "", 0, 16, 200, 590, 26, nullptr, &A::copyPage_},
};

const InstallWizard::Page InstallWizard::kPages[] = {
    // name              sheet                  step  Next caption  leave                  arrive
    {"Welcome",          &A::welcomePage_,           1,    nullptr,      nullptr,               nullptr},
    {"Info",             &A::infoPage_,              2,    nullptr,      nullptr,               nullptr},
    {"BGB",              &A::agreementPage_,               3,    nullptr,      nullptr,               &A::AwaitAgreement},
    {"Path",             &A::pathPage_,              4,    "&Weiter",    &A::CheckInstallPath,  &A::FocusPath},
    {"ShortCutsAndUser", &A::shortcutsPage_,  5,    "&Fertig",    nullptr,               nullptr},
    {"CopyInfo",         &A::copyPage_,          6,    nullptr,      nullptr,               &A::InstallRun},
};

InstallWizard::InstallWizard(HWND owner, StepTree& steps) : steps_(steps) {
  Create(kForm, kControls, owner);
}

void InstallWizard::FormCreate() {
  // The form's own state, before the creation steps.
  for (HWND box : {createPathBox_, programMenuBox_, startMenuBox_, desktopBox_, declineButton_, currentUserButton_}) SetChecked(box, true);
  for (HWND hidden : {mobileModeBox_, mobileHint_, mobileDriveHint_}) SetVisible(hidden, false);
  SendMessageA(copyGauge_, PBM_SETRANGE32, 0, 100);

  versionName_ = GetWindowsVersionName();
  SetText(currentUserButton_, Text(currentUserButton_) + " (" + GetUserLoginName() + ")");
  if (!IsAdministrator()) {
    SetEnabled(allUsersButton_, false);
    SetChecked(allUsersButton_, false);
    SetChecked(currentUserButton_, true);
  }
  std::string readMe;
  if (LoadTextFile(GetAppDir() + "Liesmich.txt", readMe)) {
    SetText(readMeMemo_, readMe);
    SendMessageA(readMeMemo_, EM_SETSEL, 0, 0);
  }
  ShowMobileControls();
  WarnNonAdministrator();
  SetText(welcomeText_, ReplaceProgMarker(Text(welcomeText_), ProgName));
  SetText(pathEdit_, DefaultPath);
  licenceAccepted_ = false;
  for (const Page& page : kPages) SetVisible(this->*page.sheet, &page == kPages);
  page_ = 0;

  const std::string agreementFile = GetAppDir() + "Vertrag.Txt";
  std::string agreement;
  if (!LoadTextFile(agreementFile, agreement)) {
    const std::string message = "Datei " + agreementFile + " kann nicht geöffnet werden";
    // The automatic run cannot accept an agreement nobody could read: like a
    // missing list, the medium is incomplete, and the run ends.
    if (AutoMode) EndWithErrorBox(message, ecListFileMissing);
    throw std::runtime_error(message);
  }
  SetText(agreementMemo_, agreement);
}

void InstallWizard::FormShow() {
  // Automatic mode: the wizard stays the active modal window, but off-screen.
  if (!AutoMode) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  SetWindowPos(Handle(), nullptr, 8000, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InstallWizard::ShowPage(std::size_t index) {
  SetVisible(this->*kPages[index].sheet, true);
  SetVisible(this->*kPages[page_].sheet, false);
  page_ = index;
  steps_.SelectStep(kPages[index].step);
  SetEnabled(backButton_, index > 0);
}

void InstallWizard::GoForward() {
  // Next has nowhere to go from the copy page.
  if (page_ + 1 == std::size(kPages)) return;
  const Page& leaving = kPages[page_];
  if (leaving.leave && !(this->*leaving.leave)()) return;
  ShowPage(page_ + 1);
  const Page& arrived = kPages[page_];
  if (arrived.nextCaption) SetText(nextButton_, arrived.nextCaption);
  if (arrived.arrive) (this->*arrived.arrive)();
}

void InstallWizard::AwaitAgreement() {
  if (!licenceAccepted_) SetEnabled(nextButton_, false);
}

void InstallWizard::FocusPath() { SetFocusTo(pathEdit_); }

void InstallWizard::GoBack() {
  // Back always leaves Next enabled and without its arrow.
  SetEnabled(nextButton_, true);
  SetText(nextButton_, "&Weiter");
  // Nothing before the first page, and no way back out of the copy run.
  if (page_ == 0 || page_ + 1 == std::size(kPages)) return;
  ShowPage(page_ - 1);
}

void InstallWizard::RunAutomatically() {
  // Next on every page in the table's order, the agreement accepted where a
  // page waits for it, until Next has brought the copy page and its run.
  // A page that keeps the wizard (a directory that fails even as the
  // fallback) has shown its message, and an error that stops the run has
  // been shown: nobody is there to answer, so the program ends.
  while (page_ + 1 < std::size(kPages)) {
    const std::size_t from = page_;
    if (kPages[page_].arrive == &A::AwaitAgreement) AcceptAgreement();
    if (!CallHandler([this] { GoForward(); }) || page_ == from) EndProgram(ecFilesGivenUp);
  }
}

void InstallWizard::Quit() { EndProgram(ecCancelled); }

void InstallWizard::AcceptAgreement() {
  licenceAccepted_ = true;
  SetEnabled(nextButton_, true);
}

void InstallWizard::DeclineAgreement() {
  licenceAccepted_ = false;
  SetEnabled(nextButton_, false);
}

std::string ReplaceProgMarker(const std::string& text, const std::string& progName) {
  static const std::string kMarker = "<Prog>";
  const std::size_t at = text.find(kMarker);
  if (at == std::string::npos) return text;
  return text.substr(0, at) + progName + text.substr(at + kMarker.size(), 255);
}

bool LoadTextFile(const std::string& path, std::string& text) {
  kv::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string raw;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) raw.append(buffer, got);
  // Lines may end in CR LF, LF or CR; an edit control breaks lines at CR LF only.
  text.clear();
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\r' || c == '\n') {
      text += "\r\n";
      if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    } else {
      text += c;
    }
  }
  return true;
}
