// Unit fAsk: the confirmation window f_Ask that asks, before the program
// directory is deleted, and lists everything that would go. Results: OK for
// "Ja, Dateien löschen !!", No for "Nein, Dateien nicht löschen", Cancel when
// it is closed by its title bar. Neither button is the default or the cancel
// button, so Enter and Escape answer nothing while the list has the focus.
#pragma once

#include "system/form.h"

#include <string>
#include <vector>

class Tf_Ask : public form::Form<Tf_Ask> {
public:
  explicit Tf_Ask(HWND owner);

  void SetQuestion(const std::string& text);
  void SetFiles(const std::vector<std::string>& lines);

private:
  static const form::Control<Tf_Ask> kControls[];

  void FormCreate() override;
  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void Button1Click();
  void Button2Click();

  HWND focus_ = nullptr;  // the control that had the focus when the window was left

  HWND Panel1 = nullptr;
  HWND lbInfo = nullptr;
  HWND Label2 = nullptr;
  HWND lbFiles = nullptr;
  HWND Button2 = nullptr;
  HWND Button1 = nullptr;
};
