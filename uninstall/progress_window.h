// The progress window, laid out as a copy window
// (caption "Kopiere...", a source and a target row, a gauge and a Cancel
// button). It lives from start-up to the end of the program; only the
// uninstall run shows it, while it deletes the installed files.
#pragma once

#include "system/form.h"

#include <memory>
#include <string>

class ProgressWindow : public form::Form<ProgressWindow> {
public:
  explicit ProgressWindow(HWND owner);

  // The uninstall run's use: caption "Löschen", the target row hidden, the
  // gauge at 0 of maximum; shown without being modal.
  void ShowForDeletion(int maximum);
  // Shows the file being worked on and advances the gauge by one.
  void ShowFile(const std::string& path);

  using FormBase::Hide;

private:
  static const form::Control<ProgressWindow> kControls[];

  void FormCreate() override;
  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void DrawGauge(const DRAWITEMSTRUCT& item) const;
  void DrawCancelButton(const DRAWITEMSTRUCT& item) const;

  int gaugeMaximum_ = 100;
  int gaugeProgress_ = 0;

  HWND fromLabel_ = nullptr;
  HWND fromPanel_ = nullptr;
  HWND toLabel_ = nullptr;
  HWND toPanel_ = nullptr;
  HWND gauge_ = nullptr;
  HWND cancelButton_ = nullptr;
};

extern std::unique_ptr<ProgressWindow> TheProgressWindow;
