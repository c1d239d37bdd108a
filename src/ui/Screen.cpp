#include "ui/Screen.h"

#include "shell/SystemLibrary.h"
#include "ui/Layout.h"

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
  return SystemDpi();
}

int SystemDpi() {
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

}  // namespace startboard
