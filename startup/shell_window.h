// The shell window, the full-screen backdrop of both
// modes. Its creation fixes the mode and automatic mode, reads the settings
// from the mode's list file and looks up a previous installation; its start
// timer opens the mode's window.
#pragma once

#include "system/form.h"
#include "system/command_line.h"
#include "system/handles.h"
#include "system/step_tree.h"

#include <cstddef>
#include <memory>
#include <string>

// Install mode when the executable's file name, upper-cased, is "SETUP.EXE";
// any other name means uninstall mode.
bool IsInstallMode(const std::string& exePath);
// The program's command line as the mode takes it (ParseCommandLine).
CommandLine ReadCommandLine();
// Reads ProgName, DefaultPath, StartMenuFolder, GroupName, ShortcutName,
// MobileOption and OnlyMobile from the list file, in that order.
void ReadStartupSettings(const std::string& listFile);
// The directory of the installation registered in the uninstall key
// startMenuFolder, when that directory still exists; otherwise "".
std::string PreviousInstallDir(const std::string& startMenuFolder);
// Blend of the colours a and b ($00BBGGRR), step c of d, byte by byte.
COLORREF Blend(COLORREF a, COLORREF b, int c, int d);

// The window's steps in install mode (as the form designs them) and in
// uninstall mode; the wizard and the uninstall window select them by index.
extern const char* const InstallSteps[8];
extern const char* const UninstallSteps[5];

class ShellWindow : public form::Form<ShellWindow>, public StepTree {
public:
  // Creates the window, which runs FormCreate. A missing or unreadable list
  // file ends the process there.
  ShellWindow();

  void ScheduleModeWindow();
  void SelectStep(int index) override;
  bool IsGradientOn() const { return gradientOn_; }
  // Uninstall mode started with "/s": the run goes without window and
  // question. Keys held at start do not count: a key held by accident must
  // not remove a product unasked.
  bool IsUnattendedUninstall() const { return unattendedUninstall_; }
  // Places the wizard or the uninstall window in the middle of the area right
  // of the step tree, moved only as far as it takes to keep it on the screen.
  void PlaceBesideSteps(HWND wnd) const;

private:
  static const form::Control<ShellWindow> kControls[];

  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void SetSteps(const char* const* steps, std::size_t count);
  void SizeProgNameLabel();
  void PaintBackground(HDC dc, POINT origin) const;

  void FormCreate() override;
  void FormPaint(HDC dc) override;
  void DrawProgName(const DRAWITEMSTRUCT& item) const;
  void OpenModeWindow();
  void StartAutomaticRun();

  HWND column_ = nullptr;
  HWND modeCaption_ = nullptr;
  HWND stepTree_ = nullptr;
  HWND systemPanel_ = nullptr;
  HWND progName_ = nullptr;
  HWND footer_ = nullptr;

  kv::GdiObject<HBRUSH> silver_;

  bool modeWindowDue_ = false;
  bool unattendedUninstall_ = false;
  bool gradientOn_ = false;
  kv::GdiObject<HBITMAP> gradientBitmap_;
};

extern std::unique_ptr<ShellWindow> TheShellWindow;
