// Unit Fprogrs: the progress window f_Progress, laid out as a copy window
// (caption "Kopiere...", a source and a target row, a gauge and a Cancel
// button). It lives from start-up to the end of the program; only the
// uninstall run shows it, while it deletes the installed files.
#pragma once

#include "system/form.h"

#include <memory>
#include <string>

class Tf_Progress : public form::Form<Tf_Progress> {
public:
  explicit Tf_Progress(HWND owner);

  // The uninstall run's use: caption "Löschen", the target row hidden, the
  // gauge at 0 of maximum; shown without being modal.
  void ShowForDeletion(int maximum);
  // Shows the file being worked on and advances the gauge by one.
  void ShowFile(const std::string& path);

  using FormBase::Hide;

private:
  static const form::Control<Tf_Progress> kControls[];

  void FormCreate() override;
  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void Gauge1Draw(const DRAWITEMSTRUCT& item) const;
  void bnEscDraw(const DRAWITEMSTRUCT& item) const;

  int gaugeMaximum_ = 100;
  int gaugeProgress_ = 0;

  HWND Label1 = nullptr;
  HWND pnFrom = nullptr;
  HWND Label2 = nullptr;
  HWND pnTo = nullptr;
  HWND Gauge1 = nullptr;
  HWND bnEsc = nullptr;
};

extern std::unique_ptr<Tf_Progress> f_Progress;
