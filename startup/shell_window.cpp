#include "startup/shell_window.h"

#include "engine/install_log.h"
#include "engine/program_group.h"
#include "system/dialogs.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/placement_win.h"
#include "system/program_end.h"
#include "system/registry.h"
#include "system/seam.h"
#include "system/setup_list.h"
#include "uninstall/uninstall_window.h"
#include "wizard/install_wizard.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

std::unique_ptr<ShellWindow> TheShellWindow;

const char* const InstallSteps[8] = {
    "START",
    "1. Begrüßung",
    "2. Information",
    "3. Lizenzbedingungen",
    "4. Installationsverzeichnis",
    "5. Shortcuts & Benutzer",
    "6. Dateien kopieren",
    "ZIEL",
};
const char* const UninstallSteps[5] = {
    "START",
    "1. Sicherheitsabfrage",
    "2. Programmdateien löschen",
    "3. Abfrage Daten löschen",
    "ZIEL",
};

namespace {

using form::kNavy;
using form::kBlack;
using form::kSilver;
using form::kLime;
using form::kRed;
using form::kWhite;

const char kFooter[] = "    Kalvento Setup-Programm 3.2 vom 14.03.2008";

constexpr UINT kModeWindowDelayMs = 200;
constexpr UINT kAutomaticRunDelayMs = 2000;

constexpr int kGradientRows = 256;
constexpr int kTreeIndent = 22;

using form::Dock;
using form::Kind;

const form::Design kForm{
    "Tf_Setup", "Setup",
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN, 0,
    800, 600, {{"System", 16, true}}};

const form::Look kSetupTypeLook{{"Arial", 22, true}, kLime, kBlack};
const form::Look kUninstallTypeLook{{"Arial", 22, true}, kRed, kBlack};
const form::Look kTreeLook{{"Times New Roman", 15}};
const form::Look kSystemLook{{"Arial", 13}, kBlack};
const form::Look kProgNameLook{{"Arial", 23, true, true}};
const form::Look kFooterLook{{"Arial", 15, true}, kLime, kBlack};

// High bit of the key state: the key is down.
bool KeyHeld(int key) {
  if (const seam::SimulatedKeys* keys = seam::SimulatedKeysAtStart()) {
    return key == VK_SHIFT ? keys->shift : keys->ctrl;
  }
  return GetKeyState(key) < 0;
}

int ScreenBitsPerPixel() {
  if (const int bits = seam::SimulatedBitsPerPixel()) return bits;
  kv::WindowDC screen(nullptr);
  return GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES);
}

// The 1 x 256 gradient, navy at the top to black at the bottom.
kv::GdiObject<HBITMAP> MakeGradientBitmap() {
  kv::WindowDC screen(nullptr);
  kv::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), 1, kGradientRows));
  std::vector<DWORD> rows(kGradientRows);
  for (int i = 0; i < kGradientRows; ++i) {
    const COLORREF c = Blend(kNavy, kBlack, i, kGradientRows);
    // A 32-bit DIB pixel is 0x00RRGGBB, the reverse of a COLORREF.
    rows[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 1;
  info.bmiHeader.biHeight = -kGradientRows;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBits(screen.Get(), bitmap.Get(), 0, kGradientRows, rows.data(), &info, DIB_RGB_COLORS);
  return bitmap;
}

}  // namespace

// Docked controls take their strips in this order: the footer first, then
// the column, then inside the column the caption panel, the system panel and
// the tree in what remains.
using C = ShellWindow;
const form::Control<C> ShellWindow::kControls[] = {
    {&C::footer_, Kind::Label, kFooter, SS_LEFT, 0, 0, 0, 18, &kFooterLook, nullptr, nullptr, 0, Dock::Bottom},
    {&C::column_, Kind::Container, "", WS_CLIPCHILDREN, 0, 0, 201, 0, nullptr, nullptr, nullptr, 0, Dock::Left},
    {&C::modeCaption_, Kind::Label, "Setup", SS_CENTER | SS_CENTERIMAGE, 0, 0, 0, 41, &kSetupTypeLook, &C::column_, nullptr, WS_EX_STATICEDGE, Dock::Top},
    {&C::systemPanel_, Kind::Label, "", SS_CENTER | SS_CENTERIMAGE, 0, 0, 0, 24, &kSystemLook, &C::column_, nullptr, WS_EX_STATICEDGE, Dock::Bottom},
    {&C::stepTree_, Kind::Tree, "", TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS, 0, 0, 0, 0, &kTreeLook, &C::column_, nullptr, 0, Dock::Client},
    // Drawn by the form, so the gradient shows through behind the name.
    {&C::progName_, Kind::Label, "", SS_OWNERDRAW, 213, 8, 0, 0, &kProgNameLook, nullptr, &C::DrawProgName},
};

bool IsInstallMode(const std::string& exePath) {
  return AnsiUpperCase(ExtractFileName(exePath)) == "SETUP.EXE";
}

CommandLine ReadCommandLine() {
  std::vector<std::string> arguments = SplitCommandLine(GetCommandLineA());
  if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's own path
  return ParseCommandLine(arguments, IsInstallMode(GetAppPath()));
}

void ReadStartupSettings(const std::string& listFile) {
  const ProfileReader list = ProfileOf(listFile);
  ProgName = ReadProgramName(list);
  DefaultPath = ReadDefaultPath(list);
  StartMenuFolder = ReadStartMenuFolder(list);
  GroupName = ReadListString(list, "Group", "Name", "");
  ShortcutName = ReadListString(list, "General", "Name", "");
  MobileOption = ReadListBool(list, "General", "MobileOption", false);
  OnlyMobile = ReadListBool(list, "General", "OnlyMobile", false);
}

std::string PreviousInstallDir(const std::string& startMenuFolder) {
  if (!IsUninstallEntryName(startMenuFolder)) return "";
  std::string uninstallString;
  {
    // Only read: a setup cancelled later must leave no empty key behind.
    const kv::RegKey key = OpenMachineKeyToRead(UninstallKeyPath(startMenuFolder));
    if (!key) return "";
    uninstallString = ReadRegString(key.Get(), "UninstallString");
  }
  const std::string dir = RemoveBackslash(ExtractFilePath(UninstallerOf(uninstallString)));
  return !dir.empty() && DirectoryExists(dir) ? dir : "";
}

COLORREF Blend(COLORREF a, COLORREF b, int c, int d) {
  COLORREF result = 0;
  for (int k = 0; k < 4; ++k) {
    const int shift = 8 * k;
    const int byteA = static_cast<int>((a >> shift) & 0xFF);
    const int byteB = static_cast<int>((b >> shift) & 0xFF);
    result |= static_cast<COLORREF>(((d - c) * byteA + c * byteB) / d) << shift;
  }
  return result;
}

ShellWindow::ShellWindow() {
  silver_.Reset(CreateSolidBrush(kSilver));
  Create(kForm, kControls, nullptr);
}

void ShellWindow::ScheduleModeWindow() {
  modeWindowDue_ = true;
  StartTimer(&ShellWindow::OpenModeWindow, kModeWindowDelayMs);
}

void ShellWindow::SelectStep(int index) {
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(stepTree_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  for (int i = 0; i < index && item; ++i) {
    item = reinterpret_cast<HTREEITEM>(
        SendMessageA(stepTree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  }
  SendMessageA(stepTree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

bool ShellWindow::HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND:
      // FormPaint covers the whole client area; erasing first would flicker.
      result = 1;
      return true;
    case WM_DESTROY:
      PostQuitMessage(0);
      return true;
    default:
      return false;
  }
}

void ShellWindow::SetSteps(const char* const* steps, std::size_t count) {
  SendMessageA(stepTree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  for (std::size_t i = 0; i < count; ++i) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(steps[i]);
    SendMessageA(stepTree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
  }
}

// The label sits at its design place, as large as its text.
void ShellWindow::SizeProgNameLabel() {
  kv::WindowDC dc(progName_);
  SIZE size{};
  {
    const kv::Selection font(dc.Get(), kv::FontOf(progName_));
    GetTextExtentPoint32A(dc.Get(), ProgName.c_str(), static_cast<int>(ProgName.size()), &size);
  }
  RECT r;
  GetWindowRect(progName_, &r);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 1);
  MoveWindow(progName_, r.left, r.top, size.cx, size.cy, TRUE);
}

void ShellWindow::PaintBackground(HDC dc, POINT origin) const {
  RECT window;
  GetWindowRect(Handle(), &window);
  const RECT area{-origin.x, -origin.y, window.right - window.left - origin.x,
                  window.bottom - window.top - origin.y};
  if (!gradientOn_) {
    FillRect(dc, &area, silver_.Get());
    return;
  }
  const kv::MemoryDC gradient(CreateCompatibleDC(dc));
  const kv::Selection bitmap(gradient.Get(), gradientBitmap_.Get());
  StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
             gradient.Get(), 0, 0, 1, kGradientRows, SRCCOPY);
}

void ShellWindow::FormCreate() {
  SendMessageA(stepTree_, TVM_SETINDENT, static_cast<WPARAM>(form::Scaled(kTreeIndent)), 0);
  SetSteps(InstallSteps, std::size(InstallSteps));
  SetWindowTextA(systemPanel_, GetWindowsVersionName().c_str());

  const bool slashS = ReadCommandLine().slashS;
  if (slashS || (KeyHeld(VK_SHIFT) && KeyHeld(VK_CONTROL))) AutoMode = true;

  SelectStep(0);
  ProcessMessages();

  gradientOn_ = ScreenBitsPerPixel() > 8;
  if (gradientOn_) gradientBitmap_ = MakeGradientBitmap();

  std::string listName;
  if (IsInstallMode(GetAppPath())) {
    SetWindowTextA(modeCaption_, "Setup");
    listName = "Setup.lst";
    SelectStep(1);
  } else {
    SetSteps(UninstallSteps, std::size(UninstallSteps));
    SetLook(modeCaption_, kUninstallTypeLook);
    SetWindowTextA(modeCaption_, "Deinstallation");
    SetWindowTextA(Handle(), "Deinstallation");
    listName = "install1.log";
    unattendedUninstall_ = slashS;
  }

  // One pixel in from the screen's corner, as wide as the screen and ending
  // just above the work area's bottom, so that the taskbar stays visible.
  constexpr int kShellCorner = 1;
  constexpr int kAboveWorkAreaBottom = 3;
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(Handle(), nullptr, kShellCorner, kShellCorner, GetSystemMetrics(SM_CXSCREEN),
               work.bottom - kAboveWorkAreaBottom, SWP_NOZORDER | SWP_NOACTIVATE);

  const std::string listFile = GetAppDir() + listName;
  const ListFileState list = CheckListFile(listFile);
  const char* problem = list == ListFileState::Missing      ? " nicht gefunden: "
                        : list == ListFileState::Unreadable ? " kann nicht gelesen werden: "
                                                            : nullptr;
  // A log that lists no file is no log: the run would remove nothing but the
  // log and itself, and the product could never be removed again.
  if (!problem && !IsInstallMode(GetAppPath())) {
    const std::vector<std::string> files = ReadInstalledFiles(listFile);
    if (std::all_of(files.begin(), files.end(), [](const std::string& file) { return file.empty(); }))
      problem = " nennt keine installierten Dateien: ";
  }
  if (problem) {
    // Nobody would answer the box of an unattended run: the exit code tells.
    if (!unattendedUninstall_) ShowFinalMessage("Datei " + listName + problem + listFile);
    EndProgram(ecListFileMissing);
  }
  ReadStartupSettings(listFile);
  SetWindowTextA(progName_, ProgName.c_str());
  SizeProgNameLabel();

  const std::string previous = PreviousInstallDir(StartMenuFolder);
  if (!previous.empty()) DefaultPath = previous;
  if (!GivenInstallDir.empty()) DefaultPath = GivenInstallDir;
}

void ShellWindow::FormPaint(HDC dc) { PaintBackground(dc, POINT{0, 0}); }

void ShellWindow::DrawProgName(const DRAWITEMSTRUCT& item) const {
  POINT origin{0, 0};
  MapWindowPoints(progName_, Handle(), &origin, 1);
  PaintBackground(item.hDC, origin);
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(progName_)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(progName_, &text[0], static_cast<int>(text.size()))));
  const kv::Selection font(item.hDC, kv::FontOf(progName_));
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, kWhite);
  RECT r = item.rcItem;
  DrawTextA(item.hDC, text.c_str(), -1, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
}

void ShellWindow::OpenModeWindow() {
  if (!modeWindowDue_) return;  // a second tick already queued
  modeWindowDue_ = false;
  StopTimer(&ShellWindow::OpenModeWindow);
  if (unattendedUninstall_) {
    RemoveUnattended(*this);
    DestroyWindow(Handle());
    return;
  }
  if (!IsInstallMode(GetAppPath())) {
    int result = form::mrNone;
    {
      UninstallWindow uninstallWindow(Handle(), *this);
      PlaceBesideSteps(uninstallWindow.Handle());
      result = uninstallWindow.ShowModal(Handle());
    }
    if (result == form::mrAbort) EndProgram(ecFilesGivenUp);
    if (result != form::mrOK) EndProgram(ecCancelled);
    DestroyWindow(Handle());
    return;
  }
  TheInstallWizard = std::make_unique<InstallWizard>(Handle(), *this);
  PlaceBesideSteps(TheInstallWizard->Handle());
  if (AutoMode) StartTimer(&ShellWindow::StartAutomaticRun, kAutomaticRunDelayMs);
  TheInstallWizard->ShowModal(Handle());
  TheInstallWizard.reset();
  DestroyWindow(Handle());
}

// Centred in the area right of the step tree, as far as the screen allows.
void ShellWindow::PlaceBesideSteps(HWND wnd) const {
  RECT client, tree, shell, window;
  GetClientRect(Handle(), &client);
  GetWindowRect(stepTree_, &tree);
  GetWindowRect(Handle(), &shell);
  GetWindowRect(wnd, &window);
  const int treeWidth = tree.right - tree.left;
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int left = (client.right - treeWidth - width) / 2 + treeWidth;
  const int top = ((shell.bottom - shell.top) - height) / 2;
  PlaceOnScreen(wnd, left, top);
}

void ShellWindow::StartAutomaticRun() {
  StopTimer(&ShellWindow::StartAutomaticRun);
  if (TheInstallWizard) TheInstallWizard->RunAutomatically();
}
