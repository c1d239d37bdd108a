#include "ui/frmMain.h"

#include "bench/Probe.h"
#include "launch/Actions.h"
#include "shell/Unicode.h"
#include "ui/Pictures.h"
#include "ui/Screen.h"

namespace startboard {

namespace {

// Borderless: no caption, frame or sizing; the system menu keeps Alt+F4 and
// the task-bar button's Close working.
constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

}  // namespace

bool frmMain::Register(HINSTANCE instance) {
  // CS_DBLCLKS: a double click on a label runs its command once.
  return RegisterClassOf(instance, {.style = CS_DBLCLKS, .applicationIcon = true}) &&
         frmAbout::Register(instance);
}

bool frmMain::Create(HINSTANCE instance, Win32Shell& shell) {
  shell_ = &shell;
  POINT pointer{};
  GetCursorPos(&pointer);
  const PixelRect area = WorkAreaAt(pointer);
  const std::wstring title = Widen(language_.title);
  // Made hidden inside the monitor's work area, so that it knows that
  // monitor's dpi before it takes its size.
  if (CreateWindowExW(kExStyle, kClassName, title.c_str(), kStyle, area.left, area.top, 1, 1,
                      nullptr, nullptr, instance, this) == nullptr) {
    return false;
  }
  PlaceCentred(hwnd_, area, brand::kMenuClient, dpi_);
  shell.SetMainWindow(hwnd_);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  return true;
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const auto result = lights_.Handle(message, wParam, lParam)) return *result;
  if (const auto result = zones_.Handle(message, wParam, lParam)) return *result;
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_ERASEBKGND:
      return 1;  // the picture covers the whole client area
    case WM_PAINT:
      OnPaint();
      return 0;
    case kDpiChangedMessage:
      UseDpi(HIWORD(wParam));
      MoveToSuggested(hwnd_, lParam);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

void frmMain::RunClick(const Action& action) {
  switch (action.kind) {
    case ActionKind::About:
      if (!about_) about_.emplace(*shell_);
      about_->ShowModal(hwnd_);
      break;
    case ActionKind::Quit:
      // Closing the window ends the message loop; owned windows go with it.
      DestroyWindow(hwnd_);
      break;
    default:
      if (RunAction(*shell_, action) && action.thenQuit) DestroyWindow(hwnd_);
      break;
  }
}

bool frmMain::OnCreate() {
  zones_.Attach(hwnd_, *this);
  lights_.Attach(hwnd_, shell_->Com(), zones_, language_);
  return UseDpi(DpiOf(hwnd_));
}

// The picture for a dpi, made once: every repaint is then a plain blit.
bool frmMain::UseDpi(int dpi) {
  Bitmap background = LoadArt(shell_->Com(), InstanceOf(hwnd_), language_.menuArt, dpi);
  if (!background) background = PlainMenu(language_, brand::kMenuClient, dpi);
  if (!background) return false;
  background_ = std::move(background);
  dpi_ = dpi;
  zones_.SetDpi(dpi);
  lights_.SetDpi(dpi);
  return true;
}

void frmMain::OnPaint() {
  const PaintScope paint(hwnd_);
  const RECT& dirty = paint.Dirty();
  const MemoryDc source(CreateCompatibleDC(paint.Dc()));
  const Selection selected(source.get(), background_.get());
  BitBlt(paint.Dc(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
         source.get(), dirty.left, dirty.top, SRCCOPY);
  lights_.Paint(paint.Dc(), dirty);
  bench::Mark("paint");
}

void frmMain::OnDestroy() {
  shell_->SetMainWindow(nullptr);
  PostQuitMessage(0);
}

}  // namespace startboard
