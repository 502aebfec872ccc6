#include "system/form.h"

#include "system/dialogs.h"
#include "system/placement_win.h"
#include "system/program_end.h"

#include <commctrl.h>

namespace form {

namespace {

const char kContainerClass[] = "KvContainer";
const FormBase* g_mainForm = nullptr;
constexpr int kFirstControlId = 1000;  // above the ids of the dialog manager's keys

// A container hands its children's notifications and colour questions on
// towards the form, as a form's panel does; its background is whatever the
// form says for it.
LRESULT CALLBACK ContainerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageA(GetParent(wnd), msg, wp, lp);
    case WM_ERASEBKGND: {
      const auto brush = reinterpret_cast<HBRUSH>(
          SendMessageA(GetParent(wnd), WM_CTLCOLORSTATIC, wp, reinterpret_cast<LPARAM>(wnd)));
      RECT r;
      GetClientRect(wnd, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    default:
      return DefWindowProcA(wnd, msg, wp, lp);
  }
}

bool EnsureClass(const char* name, WNDPROC proc) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (GetClassInfoA(instance, name, &wc)) return true;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconA(instance, "MAINICON");
  if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0;
}

// The window class and own styles of each kind.
struct KindDesign {
  const char* cls;
  DWORD style;
  DWORD exStyle;
};
KindDesign DesignOf(Kind kind) {
  switch (kind) {
    case Kind::Container: return {kContainerClass, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    case Kind::Label: return {"STATIC", SS_NOPREFIX, 0};
    case Kind::Button: return {"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case Kind::CheckBox: return {"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case Kind::RadioButton: return {"BUTTON", BS_AUTORADIOBUTTON, 0};
    case Kind::Edit: return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Kind::Memo:
      return {"EDIT", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
              WS_EX_CLIENTEDGE};
    case Kind::ListBox:
      return {"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
              WS_EX_CLIENTEDGE};
    case Kind::Tree: return {WC_TREEVIEWA, 0, WS_EX_CLIENTEDGE};
    case Kind::Gauge: return {PROGRESS_CLASSA, PBS_SMOOTH, 0};
    case Kind::Bevel: return {"STATIC", SS_ETCHEDFRAME, 0};
    case Kind::Icon: return {"STATIC", SS_ICON | SS_REALSIZEIMAGE, 0};
  }
  return {"STATIC", 0, 0};
}

HFONT MakeFont(const Font& font, const Font& formFont) {
  const Font& f = font.face ? font : formFont;
  return CreateFontA(-Scaled(font.pixels ? font.pixels : formFont.pixels), 0, 0, 0,
                     font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline, FALSE,
                     ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, f.face);
}

// Takes the strip of a docked control from the free rectangle.
RECT Carve(RECT& free, Dock dock, int width, int height) {
  RECT r = free;
  switch (dock) {
    case Dock::Top:
      r.bottom = r.top + height;
      free.top = r.bottom;
      break;
    case Dock::Bottom:
      r.top = r.bottom - height;
      free.bottom = r.top;
      break;
    case Dock::Left:
      r.right = r.left + width;
      free.left = r.right;
      break;
    case Dock::Client:
    case Dock::None:
      break;
  }
  return r;
}

}  // namespace

int ScreenDpi() {
  static const int dpi = [] {
    kv::WindowDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
  }();
  return dpi;
}

int Scaled(int designPixels) { return MulDiv(designPixels, ScreenDpi(), kDesignDpi); }

HWND ApplicationMainWindow() { return g_mainForm ? g_mainForm->Handle() : nullptr; }

FormBase::~FormBase() {
  if (g_mainForm == this) g_mainForm = nullptr;
  if (hwnd_) DestroyWindow(hwnd_);
}

void FormBase::Create(const Design& design, HWND owner) {
  design_ = &design;
  InitCommonControls();
  const bool registered =
      EnsureClass(design.className, WindowProc) && EnsureClass(kContainerClass, ContainerProc);
  RECT outer{0, 0, Scaled(design.clientWidth), Scaled(design.clientHeight)};
  AdjustWindowRectEx(&outer, design.style, FALSE, design.exStyle);
  if (registered) {
    // The main window belongs to the application window, which holds the
    // taskbar button.
    if (!owner && !g_mainForm) owner = ApplicationWindow();
    CreateWindowExA(design.exStyle, design.className, design.caption, design.style, CW_USEDEFAULT,
                    CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, owner,
                    nullptr, GetModuleHandleA(nullptr), this);
  }
  if (!g_mainForm) g_mainForm = this;
  if (!hwnd_) EndForWantOf(missingControl_ ? missingControl_ : design.className);
}

// Without one of its windows the program could only wait unseen or show a
// form with a hole.
void FormBase::EndForWantOf(const char* className) {
  ShowFinalMessage(std::string("Das Fenster \"") + className +
                   "\" konnte nicht erstellt werden. Das Setup-Programm wird beendet.");
  EndProgram(ecNoWindow);
}

HWND FormBase::CreateControl(std::size_t row, Kind kind, const char* caption, DWORD style,
                             DWORD exStyle, int x, int y, int w, int h, HWND parent,
                             const Look* look) {
  const KindDesign kd = DesignOf(kind);
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const bool icon = kind == Kind::Icon;
  const HWND control = CreateWindowExA(
      kd.exStyle | exStyle, kd.cls, icon ? "" : caption, WS_CHILD | WS_VISIBLE | kd.style | style,
      Scaled(x), Scaled(y), Scaled(w), Scaled(h), parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + row)), instance, nullptr);
  // Reported once the window's creation has returned: not from inside it.
  if (!control) {
    missingControl_ = kd.cls;
    return nullptr;
  }
  if (icon) {
    SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(instance, caption)), 0);
  }
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(look)), FALSE);
  rows_[control] = row;
  if (look) looks_[control] = look;
  if (kind == Kind::Button && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
    defaultButtonId_ = kFirstControlId + static_cast<int>(row);
  }
  return control;
}

void FormBase::LayOutDocked(HWND control, HWND parent, Dock dock, int w, int h) {
  docked_.push_back(Docked{control, parent, dock, w, h});
}

void FormBase::LayOut() {
  std::map<HWND, RECT> free;
  for (const Docked& d : docked_) {
    auto it = free.find(d.parent);
    if (it == free.end()) {
      RECT client;
      GetClientRect(d.parent, &client);
      it = free.emplace(d.parent, client).first;
    }
    const RECT r = Carve(it->second, d.dock, Scaled(d.w), Scaled(d.h));
    MoveWindow(d.control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
}

HFONT FormBase::FontFor(const Look* look) {
  auto it = fonts_.find(look);
  if (it == fonts_.end()) {
    const Font& formFont = design_->look.font;
    it = fonts_.emplace(look, kv::GdiObject<HFONT>(MakeFont(look ? look->font : formFont, formFont)))
             .first;
  }
  return it->second.Get();
}

void FormBase::SetLook(HWND control, const Look& look) {
  looks_[control] = &look;
  InvalidateRect(control, nullptr, TRUE);
}

HBRUSH FormBase::Colour(HWND control, HDC dc) {
  const auto it = looks_.find(control);
  const Look& look = it != looks_.end() ? *it->second : design_->look;
  if (look.text == kDefaultColour && look.back == kDefaultColour) return nullptr;
  if (look.text != kDefaultColour) SetTextColor(dc, look.text);
  const COLORREF back = look.back != kDefaultColour ? look.back : GetSysColor(COLOR_BTNFACE);
  SetBkColor(dc, back);
  auto brush = brushes_.find(back);
  if (brush == brushes_.end()) {
    brush = brushes_.emplace(back, kv::GdiObject<HBRUSH>(CreateSolidBrush(back))).first;
  }
  return brush->second.Get();
}

LRESULT CALLBACK FormBase::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<FormBase*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = wnd;
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormBase*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(wnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    self->hwnd_ = nullptr;
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    return DefWindowProcA(wnd, msg, wp, lp);
  }
  LRESULT result = 0;
  if (CallHandler([&] { result = self->Dispatch(msg, wp, lp); })) return result;
  // After an exception the message is handled the default way.
  return DefWindowProcA(wnd, msg, wp, lp);
}

LRESULT FormBase::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (HandleMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_CREATE:
      // -1 fails CreateWindowExA, which Create then reports.
      if (!CreateControls()) return -1;
      LayOut();
      FormCreate();
      return 0;
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_COMMAND: {
      const auto control = reinterpret_cast<HWND>(lp);
      const WORD code = HIWORD(wp);
      const auto it = rows_.find(control);
      if (control && it != rows_.end() && (code == BN_CLICKED || code == EN_CHANGE)) {
        ControlClick(it->second);
      }
      return 0;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      const auto it = rows_.find(item.hwndItem);
      if (it == rows_.end()) break;
      ControlDraw(it->second, item);
      return TRUE;
    }
    case WM_TIMER:
      TimerEvent(wp);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(hwnd_, &ps);
      FormPaint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (const HBRUSH brush = Colour(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case DM_GETDEFID:
      // Enter presses the default button, as in a dialog.
      if (defaultButtonId_) return MAKELRESULT(defaultButtonId_, DC_HASDEFID);
      break;
    case WM_SYSCOMMAND:
      // The main window is owned, so minimised on its own it would shrink to
      // a caption above the taskbar; the application window goes instead and
      // takes every window of the program with it.
      if ((wp & 0xFFF0) == SC_MINIMIZE && g_mainForm == this) {
        ShowWindow(ApplicationWindow(), SW_MINIMIZE);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (modal_) {
        modalResult_ = mrCancel;
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

bool FormBase::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

int FormBase::ShowModal(HWND owner) {
  modal_ = true;
  modalResult_ = mrNone;
  if (owner) EnableWindow(owner, FALSE);
  FormShow();
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  MSG msg;
  while (modalResult_ == mrNone) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: the message loop outside sees the quit too.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      modalResult_ = mrCancel;
      break;
    }
    if (!hwnd_ || !IsDialogMessageA(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  // The owner first, so that activation returns to it rather than elsewhere.
  if (owner) EnableWindow(owner, TRUE);
  Hide();
  modal_ = false;
  return modalResult_;
}

void FormBase::Show() {
  if (g_mainForm == this) ShowWindow(ApplicationWindow(), SW_SHOWNOACTIVATE);
  ShowWindow(hwnd_, SW_SHOW);
}

void FormBase::CentreOnScreen() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  PlaceOnScreen(hwnd_, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
}

void FormBase::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

std::string FormBase::Text(HWND control) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void FormBase::SetText(HWND control, const std::string& text) { SetWindowTextA(control, text.c_str()); }

bool FormBase::Checked(HWND control) {
  return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormBase::SetChecked(HWND control, bool checked) {
  SendMessageA(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void FormBase::SetEnabled(HWND control, bool enabled) { EnableWindow(control, enabled); }

void FormBase::SetVisible(HWND control, bool visible) {
  ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

}  // namespace form
