#include "system/dialogs.h"

#include "system/handles.h"
#include "system/placement_win.h"
#include "system/process_values.h"
#include "system/run_log.h"

#include <algorithm>
#include <vector>

namespace {

std::string g_applicationTitle;

struct DialogButton {
  DialogButtons flag;
  int id;
  const char* caption;
};
// In the order the buttons stand in the dialog.
const DialogButton kButtons[] = {
    {dbYes, IDYES, "&Ja"},
    {dbNo, IDNO, "&Nein"},
    {dbOK, IDOK, "OK"},
    {dbCancel, IDCANCEL, "Abbrechen"},
};

struct DialogSpec {
  std::string title;
  LPCSTR icon;  // system icon, or nullptr for none
  std::string text;
  unsigned buttons;
  int defaultId;
  int escapeId;  // the button that Escape presses
};

// Layout in dialog units, as the system's own message boxes space things.
constexpr int kMarginDu = 8;
constexpr int kSpacingDu = 10;
constexpr int kButtonWidthDu = 50;
constexpr int kButtonHeightDu = 14;
constexpr int kButtonGapDu = 4;
constexpr int kTextId = 100;
constexpr int kIconId = 101;

int UsualDefault(unsigned buttons) {
  if (buttons & dbOK) return IDOK;
  if (buttons & dbYes) return IDYES;
  return IDCANCEL;
}

int EscapeButton(unsigned buttons) {
  if (buttons & dbCancel) return IDCANCEL;
  if (buttons & dbNo) return IDNO;
  if (buttons & dbOK) return IDOK;
  return IDCANCEL;
}

// A template without controls: they are laid out in WM_INITDIALOG, where the
// dialog's font and the text's measured size are known.
std::vector<WORD> EmptyDialogTemplate() {
  // In front even when the program has no window yet (the missing-list box).
  const DWORD style =
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_SETFOREGROUND;
  std::vector<WORD> t;
  auto dword = [&t](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  dword(style);
  dword(0);         // extended style
  t.push_back(0);   // no items
  for (int i = 0; i < 4; ++i) t.push_back(0);  // x, y, cx, cy: set later
  t.push_back(0);   // no menu
  t.push_back(0);   // standard dialog class
  t.push_back(0);   // title: set later, as ANSI text
  t.push_back(8);   // point size
  for (const char* c = "MS Shell Dlg"; *c; ++c) t.push_back(static_cast<WORD>(*c));
  t.push_back(0);
  return t;
}

int DialogUnitsX(HWND dlg, int du) {
  RECT r{0, 0, du, 0};
  MapDialogRect(dlg, &r);
  return r.right;
}

int DialogUnitsY(HWND dlg, int du) {
  RECT r{0, 0, 0, du};
  MapDialogRect(dlg, &r);
  return r.bottom;
}

HWND AddControl(HWND dlg, const char* cls, const char* text, DWORD style, int id, const RECT& r,
                HFONT font) {
  HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, dlg,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

SIZE MeasureText(HWND dlg, HFONT font, const std::string& text) {
  kv::WindowDC dc(dlg);
  const kv::Selection selected(dc.Get(), font);
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
  DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  return SIZE{r.right, r.bottom};
}

void LayOut(HWND dlg, const DialogSpec& layout) {
  SetWindowTextA(dlg, layout.title.c_str());
  const HFONT font = kv::FontOf(dlg);
  const int margin = DialogUnitsX(dlg, kMarginDu);
  const int spacing = DialogUnitsX(dlg, kSpacingDu);
  const int buttonW = DialogUnitsX(dlg, kButtonWidthDu);
  const int buttonH = DialogUnitsY(dlg, kButtonHeightDu);
  const int buttonGap = DialogUnitsX(dlg, kButtonGapDu);

  const SIZE text = MeasureText(dlg, font, layout.text);
  const int iconW = layout.icon ? GetSystemMetrics(SM_CXICON) + spacing : 0;
  const int iconH = layout.icon ? GetSystemMetrics(SM_CYICON) : 0;
  const auto count = static_cast<int>(
      std::count_if(std::begin(kButtons), std::end(kButtons),
                    [&](const DialogButton& b) { return (layout.buttons & b.flag) != 0; }));
  const int buttonsW = count * buttonW + (count - 1) * buttonGap;
  const int clientW = std::max<int>(iconW + text.cx, buttonsW) + 2 * margin;
  const int bodyH = std::max<int>(iconH, text.cy);
  const int clientH = margin + bodyH + spacing + buttonH + margin;

  if (layout.icon) {
    HWND icon = AddControl(dlg, "STATIC", "", SS_ICON, kIconId,
                           RECT{margin, margin, margin + iconW, margin + iconH}, font);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, layout.icon)), 0);
  }
  AddControl(dlg, "STATIC", layout.text.c_str(), SS_LEFT | SS_NOPREFIX, kTextId,
             RECT{margin + iconW, margin, margin + iconW + text.cx, margin + text.cy}, font);

  int x = (clientW - buttonsW) / 2;
  const int y = margin + bodyH + spacing;
  for (const DialogButton& b : kButtons) {
    if (!(layout.buttons & b.flag)) continue;
    const DWORD style = WS_TABSTOP | (b.id == layout.defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND button = AddControl(dlg, "BUTTON", b.caption, style, b.id,
                             RECT{x, y, x + buttonW, y + buttonH}, font);
    if (b.id == layout.defaultId) SetFocus(button);
    x += buttonW + buttonGap;
  }
  SendMessageA(dlg, DM_SETDEFID, static_cast<WPARAM>(layout.defaultId), 0);

  RECT outer{0, 0, clientW, clientH};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(dlg, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(dlg, GWL_EXSTYLE)));
  const int w = outer.right - outer.left;
  const int h = outer.bottom - outer.top;
  SetWindowPos(dlg, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
  PlaceOnScreen(dlg, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      const auto* layout = reinterpret_cast<const DialogSpec*>(lp);
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      LayOut(dlg, *layout);
      return FALSE;  // focus is on the default button already
    }
    case WM_CLOSE:
      EndDialog(dlg, IDCANCEL);
      return TRUE;
    case WM_COMMAND: {
      int id = LOWORD(wp);
      // The dialog manager reports Escape as IDCANCEL without a control; it
      // presses the dialog's cancel-like button instead.
      if (id == IDCANCEL && lp == 0) {
        id = reinterpret_cast<const DialogSpec*>(GetWindowLongPtrA(dlg, DWLP_USER))->escapeId;
      }
      if (id == IDYES || id == IDNO || id == IDOK || id == IDCANCEL) {
        EndDialog(dlg, id);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

// The caption of the button with this id, without its "&".
std::string ButtonCaption(int id) {
  std::string caption;
  for (const DialogButton& b : kButtons) {
    if (b.id == id) caption = b.caption;
  }
  caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
  return caption;
}

// Every box of the program passes here, so the run's account names each one,
// and with /SUPPRESSMSGBOXES none is shown: each gets its default button,
// which every question of the program makes the answer that keeps the
// machine sound (create the folder, go on, OK).
int ShowDialog(const DialogSpec& layout) {
  if (SuppressMsgBoxes) {
    LogRun(RunLogMessage(layout.text, ButtonCaption(layout.defaultId)));
    return layout.defaultId;
  }
  LogRun(RunLogMessage(layout.text, ""));
  const std::vector<WORD> tmpl = EmptyDialogTemplate();
  const INT_PTR result = DialogBoxIndirectParamA(
      GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), GetActiveWindow(),
      DialogProc, reinterpret_cast<LPARAM>(&layout));
  // 0 (the owner was not valid) and -1 (anything else) mean that nothing was
  // shown; every button ends the dialog with an id above 0.
  if (result <= 0) {
    throw EDialogFailed("Die Meldung \"" + layout.text + "\" kann nicht angezeigt werden (Fehler " +
                        std::to_string(GetLastError()) + ")");
  }
  return static_cast<int>(result);
}

// For the last boxes a program shows: when its own dialog cannot be shown,
// the system's message box (with the same title and text) is tried, and
// nothing is raised.
void ShowWithFallback(const DialogSpec& layout, UINT fallbackStyle) noexcept {
  try {
    ShowDialog(layout);
  } catch (...) {
    MessageBoxA(nullptr, layout.text.c_str(), layout.title.c_str(), fallbackStyle | MB_TASKMODAL);
  }
}

DialogSpec ErrorBox(const std::string& message) {
  return DialogSpec{ApplicationTitle(), IDI_HAND, ErrorBoxText(message), dbOK, IDOK, IDOK};
}

}  // namespace

void SetApplicationTitle(const std::string& title) { g_applicationTitle = title; }

const std::string& ApplicationTitle() { return g_applicationTitle; }

int MessageDlg(const std::string& text, DialogKind kind, unsigned buttons, int defaultButton) {
  struct KindLook {
    const char* title;
    LPCSTR icon;
  };
  const KindLook look = [kind]() -> KindLook {
    switch (kind) {
      case DialogKind::Warning: return {"Warnung", IDI_EXCLAMATION};
      case DialogKind::Error: return {"Fehler", IDI_HAND};
      case DialogKind::Information: return {"Information", IDI_ASTERISK};
      case DialogKind::Confirmation: return {"Bestätigung", IDI_QUESTION};
      case DialogKind::Plain: break;
    }
    return {nullptr, nullptr};
  }();
  return ShowDialog(DialogSpec{look.title ? look.title : ApplicationTitle(), look.icon, text,
                               buttons, defaultButton ? defaultButton : UsualDefault(buttons),
                               EscapeButton(buttons)});
}

void ShowMessage(const std::string& text) { MessageDlg(text, DialogKind::Plain, dbOK); }

std::string ErrorBoxText(const std::string& message) {
  if (message.empty() || static_cast<unsigned char>(message.back()) <= '.') return message;
  return message + ".";
}

void ShowErrorBox(const std::string& message) noexcept {
  ShowWithFallback(ErrorBox(message), MB_OK | MB_ICONHAND);
  // Without boxes nobody goes on from an error that stopped the run: it ends.
  if (SuppressMsgBoxes) EndProgram(ecFilesGivenUp);
}

void EndWithErrorBox(const std::string& message, ExitCode code) noexcept {
  ShowWithFallback(ErrorBox(message), MB_OK | MB_ICONHAND);
  EndProgram(code);
}

void ShowFinalMessage(const std::string& text) noexcept {
  ShowWithFallback(DialogSpec{ApplicationTitle(), nullptr, text, dbOK, IDOK, IDOK}, MB_OK);
}
