// The layer every window of the program stands on.
//
// A window is a class derived from Form<itself>: it declares its controls as
// HWND members, one table that describes them the way the form looks, and one
// handler method per event. The base registers the window class, creates the
// controls from the table (positions and sizes at 120 dots per inch, scaled
// once to the screen), routes each control's click, change and drawing, the
// window's timers and its painting to their handlers through CallHandler,
// colours controls by their look, docks the few that follow the window's size,
// and runs a window modally until it has a result.
#pragma once

#include "system/handles.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace form {

constexpr int kDesignDpi = 120;
constexpr COLORREF kDefaultColour = CLR_INVALID;

// The colours the windows use, by their usual names.
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kLime = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kSilver = RGB(192, 192, 192);

enum class Kind {
  Container,    // holds other controls (a panel or a notebook page)
  Label,        // static text; with WS_EX_STATICEDGE a lowered panel
  Button,
  CheckBox,
  RadioButton,  // WS_GROUP starts a new group
  Edit,         // one line
  Memo,         // several lines, vertical scroll bar
  ListBox,
  Tree,
  Gauge,        // progress bar
  Bevel,        // a framed rectangle
  Icon,         // caption: the icon resource's name
};

// Docked controls take a strip of what their parent has left, in table order.
enum class Dock { None, Top, Bottom, Left, Client };

struct Font {
  const char* face = nullptr;  // nullptr: the form's font
  int pixels = 0;              // character height at 120 dots per inch; 0: the form's
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// How a control looks beyond its kind.
struct Look {
  Font font;
  COLORREF text = kDefaultColour;
  COLORREF back = kDefaultColour;
};

// What a control's row calls: a click (or a change of an edit's text), or the
// drawing of an owner-drawn control.
template <typename F>
struct Event {
  Event(std::nullptr_t = nullptr) {}
  Event(void (F::*handler)()) : click(handler) {}
  Event(void (F::*handler)(const DRAWITEMSTRUCT&) const) : draw(handler) {}
  void (F::*click)() = nullptr;
  void (F::*draw)(const DRAWITEMSTRUCT&) const = nullptr;
};

// One row of a form's table.
template <typename F>
struct Control {
  HWND F::*member;
  Kind kind;
  const char* caption;
  DWORD style;  // added to the kind's own styles
  int x, y, w, h;
  const Look* look = nullptr;          // nullptr: the form's font and colours
  HWND F::*parent = nullptr;           // nullptr: the form itself
  Event<F> event = nullptr;           // click, change of an edit's text, or owner drawing
  DWORD exStyle = 0;
  Dock dock = Dock::None;
};

// The window itself.
struct Design {
  const char* className;
  const char* caption;
  DWORD style;
  DWORD exStyle;
  int clientWidth, clientHeight;  // at 120 dots per inch
  Look look;                      // the form's font and colours
};

// Results of a modal window (the Win32 button ids).
enum ModalResult : int { mrNone = 0, mrOK = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrNo = IDNO };

// The program's main window: the first form created, as long as it exists.
HWND ApplicationMainWindow();
// The window that owns the main window and holds the program's taskbar
// button, titled with the application title (SetApplicationTitle, set before
// the first window); made with the first form.
HWND ApplicationWindow();

// Screen density and scaling from the design density.
int ScreenDpi();
int Scaled(int designPixels);

class FormBase {
public:
  FormBase(const FormBase&) = delete;
  FormBase& operator=(const FormBase&) = delete;

  HWND Handle() const { return hwnd_; }
  // Shows the window modally in front of owner (disabled meanwhile) and
  // returns its result once a handler has set one, or Cancel when it is
  // closed by its title bar.
  int ShowModal(HWND owner);
  // Ends ShowModal with this result.
  void SetModalResult(int result) { modalResult_ = result; }
  void Show();
  void Hide();
  // Places the window in the middle of the screen (kept on it, see placement.h).
  void CentreOnScreen();

protected:
  FormBase() = default;
  virtual ~FormBase();

  // Creates the window and its controls, then runs FormCreate.
  void Create(const Design& design, HWND owner);

  // Events of the window itself.
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormPaint(HDC) {}
  // Messages a window handles beyond its controls' events; true when handled.
  virtual bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  // Interface to Form<F>, which knows the table. CreateControls stops at the
  // first control that cannot be created and answers false.
  virtual bool CreateControls() = 0;
  virtual void ControlClick(std::size_t row) = 0;
  virtual void ControlDraw(std::size_t row, const DRAWITEMSTRUCT& item) = 0;
  virtual void TimerEvent(UINT_PTR id) = 0;
  HWND CreateControl(std::size_t row, Kind kind, const char* caption, DWORD style,
                     DWORD exStyle, int x, int y, int w, int h, HWND parent, const Look* look);
  void LayOutDocked(HWND control, HWND parent, Dock dock, int w, int h);

  // Text, check and enabled state of controls.
  static std::string Text(HWND control);
  static void SetText(HWND control, const std::string& text);
  static bool Checked(HWND control);
  static void SetChecked(HWND control, bool checked);
  static void SetEnabled(HWND control, bool enabled);
  static void SetVisible(HWND control, bool visible);
  static void SetFocusTo(HWND control) { ::SetFocus(control); }
  // Gives a control another look from now on.
  void SetLook(HWND control, const Look& look);

private:
  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  [[noreturn]] static void EndForWantOf(const char* className);
  HFONT FontFor(const Look* look);
  HBRUSH Colour(HWND control, HDC dc);
  void LayOut();

  HWND hwnd_ = nullptr;
  const Design* design_ = nullptr;
  const char* missingControl_ = nullptr;  // class of a control that could not be created
  int modalResult_ = mrNone;
  int defaultButtonId_ = 0;
  bool modal_ = false;
  std::map<const Look*, kv::GdiObject<HFONT>> fonts_;
  std::map<COLORREF, kv::GdiObject<HBRUSH>> brushes_;
  std::map<HWND, std::size_t> rows_;       // control -> its row
  std::map<HWND, const Look*> looks_;
  struct Docked {
    HWND control, parent;
    Dock dock;
    int w, h;
  };
  std::vector<Docked> docked_;
};

template <typename F>
class Form : public FormBase {
protected:
  template <std::size_t N>
  void Create(const Design& design, const Control<F> (&table)[N], HWND owner) {
    table_ = table;
    rowCount_ = N;
    FormBase::Create(design, owner);
  }

private:
  bool CreateControls() override {
    F& self = static_cast<F&>(*this);
    for (std::size_t i = 0; i < rowCount_; ++i) {
      const Control<F>& c = table_[i];
      const HWND parent = c.parent ? self.*(c.parent) : Handle();
      self.*(c.member) = CreateControl(i, c.kind, c.caption, c.style, c.exStyle, c.x, c.y, c.w,
                                       c.h, parent, c.look);
      if (!(self.*(c.member))) return false;
      if (c.dock != Dock::None) LayOutDocked(self.*(c.member), parent, c.dock, c.w, c.h);
    }
    return true;
  }
  void ControlClick(std::size_t row) override {
    if (const auto click = table_[row].event.click) (static_cast<F&>(*this).*click)();
  }
  void ControlDraw(std::size_t row, const DRAWITEMSTRUCT& item) override {
    if (const auto draw = table_[row].event.draw) (static_cast<F&>(*this).*draw)(item);
  }

protected:
  // Calls handler every interval milliseconds until StopTimer(handler).
  void StartTimer(void (F::*handler)(), UINT interval) {
    ::SetTimer(Handle(), TimerId(handler), interval, nullptr);
  }
  void StopTimer(void (F::*handler)()) { ::KillTimer(Handle(), TimerId(handler)); }

private:
  // A timer's id is its handler's place in timers_, counted from 1.
  UINT_PTR TimerId(void (F::*handler)()) {
    auto at = std::find(timers_.begin(), timers_.end(), handler);
    if (at == timers_.end()) at = timers_.insert(at, handler);
    return static_cast<UINT_PTR>(at - timers_.begin()) + 1;
  }
  void TimerEvent(UINT_PTR id) override {
    if (id >= 1 && id <= timers_.size()) (static_cast<F&>(*this).*timers_[id - 1])();
  }

  const Control<F>* table_ = nullptr;
  std::size_t rowCount_ = 0;
  std::vector<void (F::*)()> timers_;
};

}  // namespace form
