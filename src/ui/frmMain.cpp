#include "ui/frmMain.h"

#include "app/BenchProbe.h"
#include "app/resource.h"
#include "shell/Unicode.h"

namespace startboard {

namespace {

// Borderless: no caption, frame or sizing; the system menu keeps Alt+F4 and
// the task-bar button's Close working.
constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

}  // namespace

bool frmMain::Register(HINSTANCE instance) {
  // CS_DBLCLKS turns a label's second click into a double click, which runs
  // nothing, so a double click starts its command once.
  return RegisterClassOf(instance, {.style = CS_DBLCLKS, .applicationIcon = true});
}

bool frmMain::Create(HINSTANCE instance, Win32Shell& shell) {
  shell_ = &shell;
  const RECT frame = CentredWindowRect(kMainClientWidth, kMainClientHeight, kStyle, kExStyle);
  const std::wstring title = Widen(ApplicationTitle);
  if (CreateWindowExW(kExStyle, kClassName, title.c_str(), kStyle, frame.left, frame.top,
                      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                      instance, this) == nullptr) {
    return false;
  }
  shell.SetMainWindow(hwnd_);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  return true;
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const auto result = zones_.Handle(message, wParam, lParam)) return *result;
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_ERASEBKGND:
      return 1;  // the picture covers the whole client area
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

bool frmMain::OnCreate() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  // Loaded as a device-dependent bitmap: converted to the screen's format
  // once, so every repaint is a plain blit.
  background_.reset(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, 0)));
  zones_.Attach(hwnd_, *shell_);
  return background_ != nullptr;
}

void frmMain::OnPaint() {
  const PaintScope paint(hwnd_);
  const RECT& dirty = paint.Dirty();
  const MemoryDc source(CreateCompatibleDC(paint.Dc()));
  const Selection selected(source.get(), background_.get());
  BitBlt(paint.Dc(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
         source.get(), dirty.left, dirty.top, SRCCOPY);
  bench::Mark("paint");
}

void frmMain::OnDestroy() {
  shell_->SetMainWindow(nullptr);
  PostQuitMessage(0);
}

}  // namespace startboard
