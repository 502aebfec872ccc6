// The wizard's window, its pages and the navigation between them.
#include "wizard/Faktion.h"

#include "system/Data.h"
#include "system/Kv_tools.h"
#include "system/dialogs.h"
#include "system/handles.h"
#include "system/program_end.h"

#include <commctrl.h>

#include <stdexcept>

std::unique_ptr<Tf_Aktion> f_Aktion;

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

using A = Tf_Aktion;
const form::Control<A> Tf_Aktion::kControls[] = {
    // member            kind              caption                                         style      x    y    w    h  look  parent  event
    {&A::nb1, Kind::Container, "", 0, 0, 0, 622, 380},
    {&A::bnBack, Kind::Button, "<  &Zurück", WS_DISABLED, 290, 392, 100, 32, nullptr, nullptr, &A::bnBackClick},
    {&A::bnInstal, Kind::Button, "&Weiter  >", BS_DEFPUSHBUTTON, 396, 392, 100, 32, nullptr, nullptr, &A::bnInstalClick},
    {&A::bnEnd, Kind::Button, "&Beenden", 0, 510, 392, 100, 32, nullptr, nullptr, &A::bnEndClick},

    {&A::Welcome, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::nb1},
    {&A::hdWelcome, Kind::Label, " 1. Herzlich Willkommen!", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::Welcome},
    {&A::pnSide, Kind::Container, "", 0, 0, 34, 170, 346, &kSideLook, &A::Welcome},
    {&A::lbSide, Kind::Label, "Kalvento Setup-Programm", SS_CENTER, 10, 24, 150, 100, &kSideLabelLook, &A::pnSide},
    {&A::Label4, Kind::Label, "Dieses Installationsprogramm richtet <Prog> auf Ihren Computer ein. Bei Bedarf können Sie es wieder vollständig entfernen (unter Start, Einstellungen, Systemsteuerung, Software).", 0, 190, 60, 416, 110, nullptr, &A::Welcome},
    {&A::Label5, Kind::Label, "Drücken Sie \"Weiter\" um fortzufahren, oder \"Beenden\", um die Installation abzubrechen.", 0, 190, 190, 416, 60, nullptr, &A::Welcome},

    {&A::Info, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::nb1},
    {&A::hdInfo, Kind::Label, " 2. Neueste Informationen", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::Info},
    {&A::MLiesmich, Kind::Memo, "", 0, 16, 44, 590, 296, &kMemoLook, &A::Info},
    {&A::lbInfoHint, Kind::Label, " Bitte lesen Sie den Inhalt dieser Informationsdatei sorgfältig durch.", 0, 16, 348, 590, 22, nullptr, &A::Info},

    {&A::BGB, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::nb1},
    {&A::hdBGB, Kind::Label, " 3. Lizenzbedingungen akzeptiert?", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::BGB},
    {&A::Memo1, Kind::Memo, "", 0, 16, 44, 590, 262, &kMemoLook, &A::BGB},
    {&A::rbYes, Kind::RadioButton, "&Ja, ich akzeptiere die Bedingungen der Lizenzvereinbarung ", WS_GROUP | WS_TABSTOP, 16, 316, 590, 24, nullptr, &A::BGB, &A::rbYesClick},
    {&A::rbNo, Kind::RadioButton, "&Nein, ich akzeptiere die Bedingungen der Lizenzvereinbarung nicht", 0, 16, 342, 590, 24, nullptr, &A::BGB, &A::rbNoClick},

    {&A::Path, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::nb1},
    {&A::hdPath, Kind::Label, " 4. Installationsverzeichnis festlegen", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::Path},
    {&A::Label8, Kind::Label, "Installationsverzeichnis ( Übernahme dieser Vorgabe wird empfohlen ):", 0, 16, 50, 590, 22, nullptr, &A::Path},
    {&A::edPathName, Kind::Edit, "", 0, 16, 74, 548, 27, nullptr, &A::Path, &A::edPathNameChange},
    {&A::bnDir, Kind::Button, "...", 0, 570, 74, 36, 27, nullptr, &A::Path, &A::bnDirClick},
    {&A::cbMakePath, Kind::CheckBox, "Wenn Verzeichnis noch nicht besteht, ohne Nachfrage erstellen", 0, 16, 112, 590, 24, nullptr, &A::Path},
    {&A::cbMobileModus, Kind::CheckBox, "Programm zur Nutzung im Mobilen Modus installieren ", 0, 16, 152, 590, 24, &kUnderlinedLook, &A::Path, &A::cbMobileModusClick},
    {&A::lbMM1, Kind::Label, "Aktivieren Sie diese Option, wenn das Programm auf einen Wechseldatenträger, z.B. einen USB-Stick, installiert werden soll. Es wird in diesem Fall z.B. kein Eintrag für das Windows-Startmenü erstellt.", 0, 36, 180, 570, 64, nullptr, &A::Path},
    {&A::lbMM2, Kind::Label, "Ändern Sie den Laufwerksbuchstaben \"C:\" in den derzeitgen Laufwerksbuchstaben ihres mobilen Datenträgers um (z.B. \"H:\"), die Programmpfade etc. sollten Sie nach Möglichkeit belassen.", 0, 36, 250, 570, 64, &kRedLook, &A::Path},
    {&A::lbPathNext, Kind::Label, "Drücken Sie anschließend den Schalter \"Weiter\".", 0, 16, 348, 590, 22, nullptr, &A::Path},

    {&A::ShortCutsAndUser, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::nb1},
    {&A::hdShortCuts, Kind::Label, " 5. Shortcuts und Benutzer wählen", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::ShortCutsAndUser},
    {&A::lbLinks, Kind::Label, "Programmverknüpfungen anlgen:", 0, 16, 50, 590, 22, nullptr, &A::ShortCutsAndUser},
    {&A::cbProgMenu, Kind::CheckBox, "Einen Eintrag in das Programm-Menü vornehmen", 0, 32, 76, 574, 24, nullptr, &A::ShortCutsAndUser},
    {&A::cbStartmenu, Kind::CheckBox, "Einen Eintrag in das &Startmenü vornehmen", 0, 32, 102, 574, 24, nullptr, &A::ShortCutsAndUser},
    {&A::cbDesktop, Kind::CheckBox, "Auf dem Desktop eine &Verknüpfung anlegen", 0, 32, 128, 574, 24, nullptr, &A::ShortCutsAndUser},
    {&A::lbUser, Kind::Label, "Diese Anwendung wird installiert für:", 0, 16, 172, 590, 22, nullptr, &A::ShortCutsAndUser},
    {&A::rbAktUser, Kind::RadioButton, "Nur für mich", WS_GROUP | WS_TABSTOP, 32, 198, 574, 24, nullptr, &A::ShortCutsAndUser},
    {&A::rbAllUser, Kind::RadioButton, "Jeden, der diesen Computer verwendet  (alle Benutzer)", 0, 32, 224, 574, 24, nullptr, &A::ShortCutsAndUser},
    {&A::lbShortCutsNext, Kind::Label, "Drücken Sie anschließend den Schalter \"Fertig\", um mit der Installation zu beginnen.", 0, 16, 348, 590, 22, nullptr, &A::ShortCutsAndUser},

    {&A::CopyInfo, Kind::Container, "", 0, 0, 0, 622, 380, nullptr, &A::nb1},
    {&A::hdCopyInfo, Kind::Label, " 6. Dateien auf den Computer kopieren", kHeader, 0, 0, 622, 34, &kHeaderLook, &A::CopyInfo},
    {&A::lbFrom, Kind::Label, "Von:", 0, 16, 60, 100, 22, nullptr, &A::CopyInfo},
    {&A::pnFrom, Kind::Label, "", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, 16, 84, 590, 26, nullptr, &A::CopyInfo, nullptr, WS_EX_STATICEDGE},
    {&A::lbTo, Kind::Label, "Nach:", 0, 16, 124, 100, 22, nullptr, &A::CopyInfo},
    {&A::pnTo, Kind::Label, "", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, 16, 148, 590, 26, nullptr, &A::CopyInfo, nullptr, WS_EX_STATICEDGE},
    {&A::Gauge1, Kind::Gauge, "", 0, 16, 200, 590, 26, nullptr, &A::CopyInfo},
};

const Tf_Aktion::Page Tf_Aktion::kPages[] = {
    // name              sheet                  step  Next caption  leave                  arrive
    {"Welcome",          &A::Welcome,           1,    nullptr,      nullptr,               nullptr},
    {"Info",             &A::Info,              2,    nullptr,      nullptr,               nullptr},
    {"BGB",              &A::BGB,               3,    nullptr,      nullptr,               &A::AwaitAgreement},
    {"Path",             &A::Path,              4,    "&Weiter",    &A::CheckInstallPath,  &A::FocusPath},
    {"ShortCutsAndUser", &A::ShortCutsAndUser,  5,    "&Fertig",    nullptr,               nullptr},
    {"CopyInfo",         &A::CopyInfo,          6,    nullptr,      nullptr,               &A::InstallRun},
};

Tf_Aktion::Tf_Aktion(HWND owner, StepTree& steps) : steps_(steps) {
  Create(kForm, kControls, owner);
}

void Tf_Aktion::FormCreate() {
  // The form's own state, before the creation steps.
  for (HWND box : {cbMakePath, cbProgMenu, cbStartmenu, cbDesktop, rbNo, rbAktUser}) SetChecked(box, true);
  for (HWND hidden : {cbMobileModus, lbMM1, lbMM2}) SetVisible(hidden, false);
  SendMessageA(Gauge1, PBM_SETRANGE32, 0, 100);

  versionName_ = GetWindowsVersionName();
  SetText(rbAktUser, Text(rbAktUser) + " (" + GetUserLoginName() + ")");
  if (!IsAdministrator()) {
    SetEnabled(rbAllUser, false);
    SetChecked(rbAllUser, false);
    SetChecked(rbAktUser, true);
  }
  std::string readMe;
  if (LoadTextFile(GetAppDir() + "Liesmich.txt", readMe)) {
    SetText(MLiesmich, readMe);
    SendMessageA(MLiesmich, EM_SETSEL, 0, 0);
  }
  ShowMobileControls();
  WarnNonAdministrator();
  SetText(Label4, ReplaceProgMarker(Text(Label4), ProgName));
  SetText(edPathName, DefaultPath);
  LicenceAccepted = false;
  for (const Page& page : kPages) SetVisible(this->*page.sheet, &page == kPages);
  page_ = 0;

  const std::string agreementFile = GetAppDir() + "Vertrag.Txt";
  std::string agreement;
  if (!LoadTextFile(agreementFile, agreement)) {
    throw std::runtime_error("Datei " + agreementFile + " kann nicht geöffnet werden");
  }
  SetText(Memo1, agreement);
}

void Tf_Aktion::FormShow() {
  // Automatic mode: the wizard stays the active modal window, but off-screen.
  if (!AutoMode) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  SetWindowPos(Handle(), nullptr, 8000, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Tf_Aktion::ShowPage(std::size_t index) {
  SetVisible(this->*kPages[index].sheet, true);
  SetVisible(this->*kPages[page_].sheet, false);
  page_ = index;
  steps_.SelectStep(kPages[index].step);
  SetEnabled(bnBack, index > 0);
}

void Tf_Aktion::bnInstalClick() {
  // Next has nowhere to go from the copy page.
  if (page_ + 1 == std::size(kPages)) return;
  const Page& leaving = kPages[page_];
  if (leaving.leave && !(this->*leaving.leave)()) return;
  ShowPage(page_ + 1);
  const Page& arrived = kPages[page_];
  if (arrived.nextCaption) SetText(bnInstal, arrived.nextCaption);
  if (arrived.arrive) (this->*arrived.arrive)();
}

void Tf_Aktion::AwaitAgreement() {
  if (!LicenceAccepted) SetEnabled(bnInstal, false);
}

void Tf_Aktion::FocusPath() { SetFocusTo(edPathName); }

void Tf_Aktion::bnBackClick() {
  // Back always leaves Next enabled and without its arrow.
  SetEnabled(bnInstal, true);
  SetText(bnInstal, "&Weiter");
  // Nothing before the first page, and no way back out of the copy run.
  if (page_ == 0 || page_ + 1 == std::size(kPages)) return;
  ShowPage(page_ - 1);
}

void Tf_Aktion::RunAutomatically() {
  // Next on every page in the table's order, the agreement accepted where a
  // page waits for it, until Next has brought the copy page and its run.
  // A page that keeps the wizard (a directory that fails even as the
  // fallback) has shown its message, and an error that stops the run has
  // been shown: nobody is there to answer, so the program ends.
  while (page_ + 1 < std::size(kPages)) {
    const std::size_t from = page_;
    if (kPages[page_].arrive == &A::AwaitAgreement) rbYesClick();
    if (!CallHandler([this] { bnInstalClick(); }) || page_ == from) EndProgram(ecFilesGivenUp);
  }
}

void Tf_Aktion::bnEndClick() { EndProgram(ecCancelled); }

void Tf_Aktion::rbYesClick() {
  LicenceAccepted = true;
  SetEnabled(bnInstal, true);
}

void Tf_Aktion::rbNoClick() {
  LicenceAccepted = false;
  SetEnabled(bnInstal, false);
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
