#include "startup/Fsetup.h"

#include "startup/dialogs.h"
#include "startup/setup_list.h"
#include "system/Data.h"
#include "system/Kv_tools.h"
#include "system/registry.h"

#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <vector>

std::unique_ptr<Tf_Setup> f_Setup;

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

const char kClassName[] = "Tf_Setup";
const char kPanelClassName[] = "Tf_Setup.Panel";
const char kFooter[] = "    Kalvento Setup-Programm 3.2 vom 14.03.2008";

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 200;

constexpr COLORREF kNavy = 0x800000;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kLime = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kGradientRows = 256;
constexpr int kDesignDpi = 120;

int g_simulatedBitsPerPixel = 0;
std::optional<seam::SimulatedKeys> g_simulatedKeys;

// Where a control sits: docked to an edge of what its parent has left, or at
// a fixed place.
enum class Align { None, Top, Bottom, Left, Client };

struct ControlDesign {
  Align align;
  int left, top, width, height;
};

// The form at 120 dots per inch. Docked controls take their strips in this
// order: the footer first, then the column, then inside the column the
// caption panel, the system panel and the tree in what remains.
enum Control { cLabel1, cPanel1, cSetupType, cPnSystem, cTreeView1, cLbProgName, cControls };
constexpr ControlDesign kDesign[cControls] = {
    /* Label1     */ {Align::Bottom, 0, 0, 0, 18},
    /* Panel1     */ {Align::Left, 0, 0, 201, 0},
    /* SetupType  */ {Align::Top, 0, 0, 0, 41},
    /* pnSystem   */ {Align::Bottom, 0, 0, 0, 24},
    /* TreeView1  */ {Align::Client, 0, 0, 0, 0},
    /* lbProgName */ {Align::None, 213, 8, 0, 0},
};
constexpr int kTreeIndent = 22;

struct FontDesign {
  const char* face;
  int pixels;
  int weight;
  bool italic;
};
constexpr FontDesign kSetupTypeFont{"Arial", 22, FW_BOLD, false};
constexpr FontDesign kTreeFont{"Times New Roman", 15, FW_NORMAL, false};
constexpr FontDesign kSystemFont{"Arial", 13, FW_NORMAL, false};
constexpr FontDesign kProgNameFont{"Arial", 23, FW_BOLD, true};
constexpr FontDesign kFooterFont{"Arial", 15, FW_BOLD, false};

HFONT MakeFont(const FontDesign& font, int dpi) {
  return CreateFontA(-MulDiv(font.pixels, dpi, kDesignDpi), 0, 0, 0, font.weight, font.italic,
                     FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.face);
}

// Takes the strip of a docked control from the free rectangle.
RECT Carve(RECT& free, Align align, int width, int height) {
  RECT r = free;
  switch (align) {
    case Align::Top:
      r.bottom = r.top + height;
      free.top = r.bottom;
      break;
    case Align::Bottom:
      r.top = r.bottom - height;
      free.bottom = r.top;
      break;
    case Align::Left:
      r.right = r.left + width;
      free.left = r.right;
      break;
    case Align::Client:
    case Align::None:
      break;
  }
  return r;
}

void Place(HWND control, const RECT& r) {
  MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// High bit of the key state: the key is down.
bool KeyHeld(int key) {
  if (g_simulatedKeys) return key == VK_SHIFT ? g_simulatedKeys->shift : g_simulatedKeys->ctrl;
  return GetKeyState(key) < 0;
}

int ScreenBitsPerPixel() {
  if (g_simulatedBitsPerPixel) return g_simulatedBitsPerPixel;
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

// A memory device context with one bitmap selected, for painting from it.
class BitmapDC {
public:
  BitmapDC(HDC compatible, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(compatible)), old_(SelectObject(dc_, bitmap)) {}
  ~BitmapDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_;
};

// The column's container: hands its children's colour and notification
// messages on to the shell window, as a form does for the controls on a panel.
LRESULT CALLBACK PanelProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_NOTIFY:
    case WM_DRAWITEM:
      return SendMessageA(GetParent(wnd), msg, wp, lp);
    default:
      return DefWindowProcA(wnd, msg, wp, lp);
  }
}

void RegisterClasses(HINSTANCE instance, WNDPROC formProc) {
  WNDCLASSA form{};
  if (!GetClassInfoA(instance, kClassName, &form)) {
    form.lpfnWndProc = formProc;
    form.hInstance = instance;
    form.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    form.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    form.lpszClassName = kClassName;
    RegisterClassA(&form);
  }
  WNDCLASSA panel{};
  if (!GetClassInfoA(instance, kPanelClassName, &panel)) {
    panel.lpfnWndProc = PanelProc;
    panel.hInstance = instance;
    panel.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    panel.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    panel.lpszClassName = kPanelClassName;
    RegisterClassA(&panel);
  }
}

}  // namespace

void seam::SimulateScreenBitsPerPixel(int bitsPerPixel) { g_simulatedBitsPerPixel = bitsPerPixel; }

void seam::SimulateKeysAtStart(const SimulatedKeys* keys) {
  g_simulatedKeys = keys ? std::optional<SimulatedKeys>(*keys) : std::nullopt;
}

bool IsInstallMode(const std::string& exePath) {
  return AnsiUpperCase(ExtractFileName(exePath)) == "SETUP.EXE";
}

bool AutoModeRequested(const std::string& firstArgument, bool shiftDown, bool ctrlDown) {
  const bool slashS = firstArgument.size() == 2 && firstArgument[0] == '/' &&
                      (firstArgument[1] == 's' || firstArgument[1] == 'S');
  return slashS || (shiftDown && ctrlDown);
}

void ReadStartupSettings(const std::string& listFile) {
  ProgName = ReadListString(listFile, "General", "Name", "Programm");
  DefaultPath = ReadListString(listFile, "General", "defaultPath", "C:\\App");
  StartMenuFolder = ReadListString(listFile, "StartMenu", "Folder", "Unbenannt");
  GroupName = ReadListString(listFile, "Group", "Name", "");
  ShortcutName = ReadListString(listFile, "General", "Name", "");
  MobileOption = ReadListBool(listFile, "General", "MobileOption", false);
  OnlyMobile = ReadListBool(listFile, "General", "OnlyMobile", false);
}

std::string PreviousInstallDir(const std::string& startMenuFolder) {
  std::string uninstallString;
  {
    // Created when absent, where the account may: the registration writes
    // this key later anyway.
    kv::RegKey key = OpenMachineKey(
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + startMenuFolder, true);
    if (!key) return "";
    uninstallString = ReadRegString(key.Get(), "UninstallString");
  }
  const std::string dir = RemoveBackslash(ExtractFilePath(uninstallString));
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

Tf_Setup::Tf_Setup() : setupTypeColour_(kLime) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  InitCommonControls();
  RegisterClasses(instance, WindowProc);
  {
    kv::WindowDC screen(nullptr);
    dpi_ = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  }
  silver_.Reset(CreateSolidBrush(kSilver));
  CreateWindowExA(0, kClassName, "Setup",
                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME |
                      WS_CLIPCHILDREN,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                  instance, this);
}

Tf_Setup::~Tf_Setup() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Tf_Setup::Show() { ShowWindow(hwnd_, SW_SHOW); }

void Tf_Setup::EnableTimer1() {
  Timer1Enabled = true;
  SetTimer(hwnd_, kTimer1, kTimer1Interval, nullptr);
}

void Tf_Setup::SelectStep(int index) {
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(TreeView1, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  for (int i = 0; i < index && item; ++i) {
    item = reinterpret_cast<HTREEITEM>(
        SendMessageA(TreeView1, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  }
  SendMessageA(TreeView1, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

LRESULT CALLBACK Tf_Setup::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Tf_Setup*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = wnd;
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Tf_Setup*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(wnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    self->hwnd_ = nullptr;
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    return DefWindowProcA(wnd, msg, wp, lp);
  }
  LRESULT result = 0;
  CallHandler([&] { result = self->HandleMessage(msg, wp, lp); });
  return result;
}

LRESULT Tf_Setup::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      CreateControls();
      FormCreate();
      return 0;
    case WM_SIZE:
      LayOutControls();
      return 0;
    case WM_ERASEBKGND:
      // FormPaint covers the whole client area; erasing first would flicker.
      return 1;
    case WM_PAINT:
      FormPaint();
      return 0;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          ControlColour(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp)));
    case WM_DRAWITEM:
      lbProgNameDraw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_TIMER:
      if (wp == kTimer1) Timer1Timer();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd_, msg, wp, lp);
  }
}

int Tf_Setup::Scaled(int designPixels) const { return MulDiv(designPixels, dpi_, kDesignDpi); }

void Tf_Setup::CreateControls() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  auto child = [instance](HWND parent, DWORD exStyle, const char* cls, const char* text,
                          DWORD style) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           nullptr, instance, nullptr);
  };
  Panel1 = child(hwnd_, 0, kPanelClassName, "", WS_CLIPCHILDREN);
  SetupType = child(Panel1, WS_EX_STATICEDGE, "STATIC", "Setup",
                    SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX);
  TreeView1 = child(Panel1, WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                    TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS);
  pnSystem = child(Panel1, WS_EX_STATICEDGE, "STATIC", "", SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX);
  // Drawn by the form, so the gradient shows through behind the name.
  lbProgName = child(hwnd_, 0, "STATIC", "", SS_OWNERDRAW);
  Label1 = child(hwnd_, 0, "STATIC", kFooter, SS_LEFT | SS_NOPREFIX);

  setupTypeFont_.Reset(MakeFont(kSetupTypeFont, dpi_));
  treeFont_.Reset(MakeFont(kTreeFont, dpi_));
  systemFont_.Reset(MakeFont(kSystemFont, dpi_));
  progNameFont_.Reset(MakeFont(kProgNameFont, dpi_));
  footerFont_.Reset(MakeFont(kFooterFont, dpi_));
  const std::pair<HWND, HFONT> fonts[] = {
      {SetupType, setupTypeFont_.Get()}, {TreeView1, treeFont_.Get()},
      {pnSystem, systemFont_.Get()},     {lbProgName, progNameFont_.Get()},
      {Label1, footerFont_.Get()},
  };
  for (const auto& [control, font] : fonts) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  SendMessageA(TreeView1, TVM_SETINDENT, static_cast<WPARAM>(Scaled(kTreeIndent)), 0);
  SetSteps(InstallSteps, std::size(InstallSteps));
}

void Tf_Setup::SetSteps(const char* const* steps, std::size_t count) {
  SendMessageA(TreeView1, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  for (std::size_t i = 0; i < count; ++i) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(steps[i]);
    SendMessageA(TreeView1, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
  }
}

void Tf_Setup::LayOutControls() {
  if (!Label1) return;  // WM_SIZE of the creation, before the controls exist
  auto dock = [this](RECT& free, Control c) {
    const ControlDesign& d = kDesign[c];
    return Carve(free, d.align, Scaled(d.width), Scaled(d.height));
  };
  RECT free;
  GetClientRect(hwnd_, &free);
  Place(Label1, dock(free, cLabel1));
  const RECT column = dock(free, cPanel1);
  Place(Panel1, column);
  RECT inner{0, 0, column.right - column.left, column.bottom - column.top};
  Place(SetupType, dock(inner, cSetupType));
  Place(pnSystem, dock(inner, cPnSystem));
  Place(TreeView1, dock(inner, cTreeView1));
}

// The label sits at its design place, as large as its text.
void Tf_Setup::SizeProgNameLabel() {
  kv::WindowDC dc(lbProgName);
  const HGDIOBJ old = SelectObject(dc.Get(), progNameFont_.Get());
  SIZE size{};
  GetTextExtentPoint32A(dc.Get(), ProgName.c_str(), static_cast<int>(ProgName.size()), &size);
  SelectObject(dc.Get(), old);
  const ControlDesign& d = kDesign[cLbProgName];
  MoveWindow(lbProgName, Scaled(d.left), Scaled(d.top), size.cx, size.cy, TRUE);
}

void Tf_Setup::PaintBackground(HDC dc, POINT origin) const {
  RECT window;
  GetWindowRect(hwnd_, &window);
  const RECT area{-origin.x, -origin.y, window.right - window.left - origin.x,
                  window.bottom - window.top - origin.y};
  if (!GradientOn) {
    FillRect(dc, &area, silver_.Get());
    return;
  }
  const BitmapDC gradient(dc, GradientBitmap.Get());
  StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
             gradient.Get(), 0, 0, 1, kGradientRows, SRCCOPY);
}

HBRUSH Tf_Setup::ControlColour(HWND control, HDC dc) const {
  if (control == SetupType || control == Label1) {
    SetTextColor(dc, control == SetupType ? setupTypeColour_ : kLime);
    SetBkColor(dc, kBlack);
    return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  }
  SetTextColor(dc, kBlack);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

void Tf_Setup::FormCreate() {
  SetWindowTextA(pnSystem, GetWindowsVersionName().c_str());

  const std::string firstArgument = __argc > 1 ? __argv[1] : "";
  if (AutoModeRequested(firstArgument, KeyHeld(VK_SHIFT), KeyHeld(VK_CONTROL))) {
    AutoMode = true;
  }

  SelectStep(0);
  ProcessMessages();

  GradientOn = ScreenBitsPerPixel() > 8;
  if (GradientOn) GradientBitmap = MakeGradientBitmap();

  std::string listName;
  if (IsInstallMode(GetAppPath())) {
    SetWindowTextA(SetupType, "Setup");
    listName = "Setup.lst";
    SelectStep(1);
  } else {
    SetSteps(UninstallSteps, std::size(UninstallSteps));
    setupTypeColour_ = kRed;
    SetWindowTextA(SetupType, "Deinstallation");
    SetWindowTextA(hwnd_, "Deinstallation");
    listName = "install1.log";
  }

  // The work area's bottom, so that the taskbar stays visible.
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd_, nullptr, 1, 1, GetSystemMetrics(SM_CXSCREEN), work.bottom - 3,
               SWP_NOZORDER | SWP_NOACTIVATE);

  const std::string listFile = GetAppDir() + listName;
  if (!FileExists(listFile)) {
    ShowMessage("Datei " + listName + " nicht gefunden: " + listFile);
    ExitProcess(0);
  }
  ReadStartupSettings(listFile);
  SetWindowTextA(lbProgName, ProgName.c_str());
  SizeProgNameLabel();

  const std::string previous = PreviousInstallDir(StartMenuFolder);
  if (!previous.empty()) DefaultPath = previous;
}

void Tf_Setup::FormPaint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd_, &ps);
  PaintBackground(dc, POINT{0, 0});
  EndPaint(hwnd_, &ps);
}

void Tf_Setup::lbProgNameDraw(const DRAWITEMSTRUCT& item) const {
  POINT origin{0, 0};
  MapWindowPoints(lbProgName, hwnd_, &origin, 1);
  PaintBackground(item.hDC, origin);
  char text[256] = {};
  GetWindowTextA(lbProgName, text, sizeof text);
  const HGDIOBJ old = SelectObject(item.hDC, progNameFont_.Get());
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, kWhite);
  RECT r = item.rcItem;
  DrawTextA(item.hDC, text, -1, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(item.hDC, old);
}

void Tf_Setup::Timer1Timer() {
  if (!Timer1Enabled) return;  // a second tick already queued
  Timer1Enabled = false;
  KillTimer(hwnd_, kTimer1);
  // The mode's window opens here, modally in front of this one, and the shell
  // window closes when it returns. Automatic mode hides the shell window, so
  // with no window to drive it ends the run instead of waiting unseen.
  if (AutoMode) DestroyWindow(hwnd_);
}
