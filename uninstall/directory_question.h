// The directory question: the confirmation window that asks, before the program
// directory is deleted, and lists everything that would go. Results: OK for
// "Ja, Dateien löschen !!", No for "Nein, Dateien nicht löschen", Cancel when
// it is closed by its title bar. Neither button is the default or the cancel
// button, so Enter and Escape answer nothing while the list has the focus.
#pragma once

#include "system/form.h"

#include <string>
#include <vector>

class DirectoryQuestion : public form::Form<DirectoryQuestion> {
public:
  explicit DirectoryQuestion(HWND owner);

  void SetQuestion(const std::string& text);
  void SetFiles(const std::vector<std::string>& lines);

private:
  static const form::Control<DirectoryQuestion> kControls[];

  void FormCreate() override;
  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void AnswerDelete();
  void AnswerKeep();

  HWND focus_ = nullptr;  // the control that had the focus when the window was left

  HWND questionPanel_ = nullptr;
  HWND question_ = nullptr;
  HWND filesLabel_ = nullptr;
  HWND files_ = nullptr;
  HWND keepButton_ = nullptr;
  HWND deleteButton_ = nullptr;
};
