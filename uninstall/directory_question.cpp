#include "uninstall/directory_question.h"

#include "uninstall/progress_window.h"

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
using C = DirectoryQuestion;
const form::Control<C> DirectoryQuestion::kControls[] = {
    {&C::questionPanel_, Kind::Container, "", 0, 16, 13, 601, 65, &kYellowLook},
    {&C::question_, Kind::Label, "", SS_LEFT, 10, 6, 583, 51, &kYellowLook, &C::questionPanel_},
    {&C::filesLabel_, Kind::Label, "Zu löschende Verzeichnisse und Dateien:", 0, 16, 81, 300, 16},
    {&C::files_, Kind::ListBox, "", 0, 16, 101, 601, 281, &kFilesLook},
    {&C::keepButton_, Kind::Button, "Nein, Dateien nicht löschen", 0, 16, 394, 185, 33, nullptr, nullptr,
     &C::AnswerKeep},
    {&C::deleteButton_, Kind::Button, "Ja, Dateien löschen !!", 0, 208, 394, 177, 33, nullptr, nullptr, &C::AnswerDelete},
};

DirectoryQuestion::DirectoryQuestion(HWND owner) { Create(kForm, kControls, owner); }

void DirectoryQuestion::FormCreate() {
  SendMessageA(files_, LB_SETITEMHEIGHT, 0, form::Scaled(kItemHeight));
  CentreOnScreen();
  focus_ = files_;
}

void DirectoryQuestion::SetQuestion(const std::string& text) { SetText(question_, text); }

void DirectoryQuestion::SetFiles(const std::vector<std::string>& lines) {
  SendMessageA(files_, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : lines)
    SendMessageA(files_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void DirectoryQuestion::AnswerDelete() { SetModalResult(form::mrOK); }

void DirectoryQuestion::AnswerKeep() { SetModalResult(form::mrNo); }

bool DirectoryQuestion::HandleMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
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
