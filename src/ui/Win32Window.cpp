#include "ui/Win32Window.h"

#include <commctrl.h>

#include <cstdlib>

#include "shell/Unicode.h"

namespace startboard {

POINT CursorClientPoint(HWND window) {
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(window, &point);
  return point;
}

void ShowCursorShape(HCURSOR cursor) {
  if (GetCursor() != cursor) SetCursor(cursor);
}

PixelSize BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return {0, 0};
  return {info.bmWidth, std::abs(info.bmHeight)};
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
  const PixelSize size = BitmapSize(bitmap);
  if (size.width == 0) return;
  const MemoryDc source(CreateCompatibleDC(dc));
  const Selection selected(source.get(), bitmap);
  BitBlt(dc, x, y, size.width, size.height, source.get(), 0, 0, SRCCOPY);
}

void MoveToSuggested(HWND window, LPARAM suggested) {
  const RECT& rect = *reinterpret_cast<const RECT*>(suggested);
  SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window, nullptr, TRUE);
}

namespace {
// A user32 function that older Windows lack, or nullptr.
template <class Function>
Function NewerUser32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}
}  // namespace

int DpiOf(HWND window) {
  if (const auto forWindow = NewerUser32<UINT(WINAPI*)(HWND)>("GetDpiForWindow")) {
    if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
  }
  // Windows 8.1 knows each monitor's dpi, but not each window's.
  SystemLibrary shcore(L"shcore.dll");
  using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  UINT x = 0;
  UINT y = 0;
  if (const auto forMonitor = shcore.Get<ForMonitor>("GetDpiForMonitor");
      forMonitor != nullptr &&
      SUCCEEDED(forMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) &&
      x > 0) {
    return static_cast<int>(x);
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDefaultDpi;
}

namespace {
PixelRect WorkArea(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info) == FALSE) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
  }
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}
}  // namespace

PixelRect WorkAreaAt(POINT point) {
  return WorkArea(MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY));
}

PixelRect WorkAreaOf(HWND window) {
  return WorkArea(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
}

void PlaceCentred(HWND window, const PixelRect& area, const TwipRect& client, int dpi) {
  const PixelSize size = client.SizeAt(dpi);
  RECT frame{0, 0, size.width, size.height};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  // The frame's own metrics at that dpi, where Windows can tell (10 and later).
  const auto forDpi =
      NewerUser32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (forDpi == nullptr || forDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)) == FALSE) {
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  const PixelRect placed = CentredIn(area, {frame.right - frame.left, frame.bottom - frame.top});
  SetWindowPos(window, nullptr, placed.left, placed.top, placed.Width(), placed.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Tooltips::CreateControl(HWND owner) {
  control_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, InstanceOf(owner), nullptr);
  return control_ != nullptr;
}

void Tooltips::Add(HWND owner, UINT id, const PixelRect& rect, std::string_view text) const {
  std::wstring wide = Widen(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = 0;  // moves are relayed by the owner, see OnMouseMove
  tool.hwnd = owner;
  tool.uId = id;
  tool.rect = ToRect(rect);
  tool.lpszText = wide.data();  // copied by the control
  SendMessageW(control_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tooltips::Relay(HWND owner, LPARAM position) const {
  if (control_ == nullptr) return;
  const DWORD screen = GetMessagePos();
  MSG move{owner,
           WM_MOUSEMOVE,
           0,
           position,
           static_cast<DWORD>(GetMessageTime()),
           POINT{static_cast<short>(LOWORD(screen)), static_cast<short>(HIWORD(screen))}};
  SendMessageW(control_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

void Tooltips::Pop() const {
  if (control_ != nullptr) SendMessageW(control_, TTM_POP, 0, 0);
}

void Tooltips::Reset() {
  if (control_ != nullptr) DestroyWindow(control_);
  control_ = nullptr;
  created_ = false;
  under_ = nullptr;
}

}  // namespace startboard
