#include "uninstall/fAsk.h"

#include "uninstall/Fprogrs.h"

namespace {

using form::kBlack;
using form::kWhite;

using form::Kind;

constexpr COLORREF kLightYellow = RGB(255, 255, 128);
constexpr int kItemHeight = 20;

const form::Design kForm{"Tf_Ask", "Sicherheitsabfrage!", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
                         632, 438, {{"MS Sans Serif", 13}}};
const form::Look kYellowLook{{}, form::kDefaultColour, kLightYellow};
const form::Look kFilesLook{{"MS Sans Serif", 17}, kBlack, kWhite};

}  // namespace

// The list comes first in the tab order and gets the focus.
using C = Tf_Ask;
const form::Control<C> Tf_Ask::kControls[] = {
    {&C::Panel1, Kind::Container, "", 0, 16, 13, 601, 65, &kYellowLook},
    {&C::lbInfo, Kind::Label, "", SS_LEFT, 10, 6, 583, 51, &kYellowLook, &C::Panel1},
    {&C::Label2, Kind::Label, "Zu löschende Verzeichnisse und Dateien:", 0, 16, 81, 300, 16},
    {&C::lbFiles, Kind::ListBox, "", 0, 16, 101, 601, 281, &kFilesLook},
    {&C::Button2, Kind::Button, "Nein, Dateien nicht löschen", 0, 16, 394, 185, 33, nullptr, nullptr,
     &C::Button2Click},
    {&C::Button1, Kind::Button, "Ja, Dateien löschen !!", 0, 208, 394, 177, 33, nullptr, nullptr, &C::Button1Click},
};

Tf_Ask::Tf_Ask(HWND owner) { Create(kForm, kControls, owner); }

void Tf_Ask::FormCreate() {
  SendMessageA(lbFiles, LB_SETITEMHEIGHT, 0, form::Scaled(kItemHeight));
  CentreOnScreen();
  focus_ = lbFiles;
}

void Tf_Ask::SetQuestion(const std::string& text) { SetText(lbInfo, text); }

void Tf_Ask::SetFiles(const std::vector<std::string>& lines) {
  SendMessageA(lbFiles, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : lines)
    SendMessageA(lbFiles, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void Tf_Ask::Button1Click() { SetModalResult(form::mrOK); }

void Tf_Ask::Button2Click() { SetModalResult(form::mrNo); }

bool Tf_Ask::HandleMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  if (msg != WM_ACTIVATE) return false;
  // As a dialog does: the focus returns to where it was, at first the list.
  if (LOWORD(wp) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus && IsChild(Handle(), focus)) focus_ = focus;
  } else if (focus_) {
    SetFocusTo(focus_);
  }
  result = 0;
  return true;
}
