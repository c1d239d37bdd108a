#include "ui/frmMain.h"

#include <algorithm>

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

bool frmMain::Create(HINSTANCE instance) {
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
  PlaceCentred(Hwnd(), area, brand::kMenuClient, Dpi());
  shell_.SetMainWindow(Hwnd());
  ShowWindow(Hwnd(), SW_SHOWNORMAL);
  UpdateWindow(Hwnd());
  return true;
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const auto handled = input_.Handle(message, wParam, lParam)) return *handled;
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_ERASEBKGND:
      return 1;  // the picture covers the whole client area
    case WM_PAINT:
      OnPaint();
      return 0;
    case LitZones::kLoadMessage:
      lit_.OnLoadMessage(input_);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void frmMain::RunClick(const Action& action) {
  switch (action.kind) {
    case ActionKind::About:
      if (!about_) about_.emplace(shell_);
      about_->ShowModal(Hwnd());
      break;
    case ActionKind::Quit:
      // Closing the window ends the message loop; owned windows go with it.
      DestroyWindow(Hwnd());
      break;
    default:
      if (RunAction(shell_, action) && action.thenQuit) DestroyWindow(Hwnd());
      break;
  }
}

void frmMain::OnEscape() {
  const std::vector<Target>& zones = input_.Present().frontToBack;
  const auto quit = std::find_if(zones.begin(), zones.end(), [](const Target& zone) {
    return zone.click.kind == ActionKind::Quit;
  });
  if (quit != zones.end()) input_.Run(static_cast<std::size_t>(quit - zones.begin()));
}

bool frmMain::OnCreate() {
  SetDpi(DpiOf(Hwnd()));
  input_.SetTargets(ZoneTargets(language_.zones, brand::kFocusOrder));
  input_.OnDpiChanged();
  return LoadBackground();
}

void frmMain::OnDpiChanged() {
  LoadBackground();
  input_.OnDpiChanged();
  lit_.OnDpiChanged();
}

// The picture for the dpi, made once: every repaint is then a plain blit.
bool frmMain::LoadBackground() {
  Bitmap background = LoadArt(shell_.Com(), InstanceOf(Hwnd()), language_.menuArt, Dpi());
  if (!background) background = PlainMenu(language_, brand::kMenuClient, Dpi());
  if (!background) return false;
  background_ = std::move(background);
  return true;
}

void frmMain::OnPaint() {
  const PaintScope paint(Hwnd());
  const RECT& dirty = paint.Dirty();
  const MemoryDc source(CreateCompatibleDC(paint.Dc()));
  const Selection selected(source.get(), background_.get());
  BitBlt(paint.Dc(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
         source.get(), dirty.left, dirty.top, SRCCOPY);
  lit_.Paint(paint.Dc(), dirty, input_);
  bench::Mark("paint");
}

void frmMain::OnDestroy() {
  shell_.SetMainWindow(nullptr);
  PostQuitMessage(0);
}

}  // namespace startboard
