#include "uninstall/progress_window.h"

std::unique_ptr<ProgressWindow> TheProgressWindow;

namespace {

using form::kBlack;
using form::kWhite;
using form::kBlue;
using form::kRed;

using form::Kind;


const form::Design kForm{"Tf_Progress", "Kopiere...", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
                         479, 221, {{"MS Sans Serif", 13}}};
const form::Look kRowLook{{"MS Sans Serif", 13, true}, kBlack};

}  // namespace

using C = ProgressWindow;
const form::Control<C> ProgressWindow::kControls[] = {
    {&C::fromLabel_, Kind::Label, "Von:", 0, 24, 16, 40, 16, &kRowLook},
    {&C::fromPanel_, Kind::Label, "", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, 24, 32, 417, 25, &kRowLook},
    {&C::toLabel_, Kind::Label, "Nach:", 0, 24, 72, 40, 16, &kRowLook},
    {&C::toPanel_, Kind::Label, "", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, 24, 88, 425, 25, &kRowLook},
    // Drawn by the window: a blue bar with the percentage in its middle.
    {&C::gauge_, Kind::Label, "", SS_OWNERDRAW, 24, 125, 433, 25, nullptr, nullptr, &C::DrawGauge},
    // The standard Cancel button, with its red cross; no run can be cancelled, so
    // pressing it changes nothing.
    {&C::cancelButton_, Kind::Button, "Abbrechen", BS_OWNERDRAW, 187, 168, 134, 33, nullptr, nullptr, &C::DrawCancelButton},
};

ProgressWindow::ProgressWindow(HWND owner) { Create(kForm, kControls, owner); }

void ProgressWindow::FormCreate() { CentreOnScreen(); }

void ProgressWindow::ShowForDeletion(int maximum) {
  SetVisible(toLabel_, false);
  SetVisible(toPanel_, false);
  SetText(Handle(), "Löschen");
  Show();
  gaugeMaximum_ = maximum;
  gaugeProgress_ = 0;
  InvalidateRect(gauge_, nullptr, FALSE);
}

void ProgressWindow::ShowFile(const std::string& path) {
  SetText(fromPanel_, path);
  if (gaugeProgress_ < gaugeMaximum_) ++gaugeProgress_;
  InvalidateRect(gauge_, nullptr, FALSE);
  UpdateWindow(Handle());
}

bool ProgressWindow::HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT&) {
  if (msg != WM_CLOSE) return false;
  // Closed by its title bar, the window only hides: it lives on.
  Hide();
  return true;
}

void ProgressWindow::DrawGauge(const DRAWITEMSTRUCT& item) const {
  const HDC dc = item.hDC;
  RECT r = item.rcItem;
  FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  InflateRect(&r, -1, -1);
  const int percent = gaugeMaximum_ > 0 ? MulDiv(gaugeProgress_, 100, gaugeMaximum_) : 0;
  RECT filled = r;
  filled.right = r.left + (gaugeMaximum_ > 0 ? MulDiv(r.right - r.left, gaugeProgress_, gaugeMaximum_) : 0);
  RECT empty = r;
  empty.left = filled.right;

  const std::string text = std::to_string(percent) + "%";
  const int length = static_cast<int>(text.size());
  const kv::Selection font(dc, kv::FontOf(fromPanel_));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), length, &size);
  const int x = (r.left + r.right - size.cx) / 2;
  const int y = (r.top + r.bottom - size.cy) / 2;
  // The text is white where the bar has reached it, black beyond.
  SetTextColor(dc, kWhite);
  SetBkColor(dc, kBlue);
  ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &filled, text.c_str(), static_cast<UINT>(length), nullptr);
  SetTextColor(dc, kBlack);
  SetBkColor(dc, kWhite);
  ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &empty, text.c_str(), static_cast<UINT>(length), nullptr);
}

void ProgressWindow::DrawCancelButton(const DRAWITEMSTRUCT& item) const {
  const HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  if (pushed) OffsetRect(&r, 1, 1);

  const std::string caption = Text(cancelButton_);
  const kv::Selection font(dc, kv::FontOf(cancelButton_));
  SIZE size{};
  GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
  const int glyph = form::Scaled(11);
  const int gap = form::Scaled(6);
  const int left = (r.left + r.right - glyph - gap - size.cx) / 2;
  const int top = (r.top + r.bottom - glyph) / 2;
  {
    kv::GdiObject<HPEN> pen(CreatePen(PS_SOLID, form::Scaled(2), kRed));
    const kv::Selection selectedPen(dc, pen.Get());
    MoveToEx(dc, left, top, nullptr);
    LineTo(dc, left + glyph, top + glyph);
    MoveToEx(dc, left + glyph, top, nullptr);
    LineTo(dc, left, top + glyph);
  }
  RECT textRect{left + glyph + gap, r.top, r.right, r.bottom};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(dc, caption.c_str(), -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -form::Scaled(4), -form::Scaled(4));
    DrawFocusRect(dc, &focus);
  }
}
