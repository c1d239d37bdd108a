// The floor for the start-up time: the least a launcher can do before its
// first complete paint. One borderless window, centred, showing the menu
// picture from its own resources as a plain blit, like the launcher's main
// window: the menu's size at 96 dpi; at 144 dpi (per-monitor aware, from its
// manifest) that size at 144 dpi with an uncompressed picture of it, so that
// the launcher's decoding and resizing at that dpi is measured against
// nothing but the cost of a bigger window.
#include <windows.h>

#include "bench/Probe.h"
#include "brand/Data.h"

namespace {

struct Size {
  startboard::PixelSize pixels;
  int picture;  // resource id
};
constexpr Size k96Dpi{startboard::brand::kMenuClient.SizeAt(96), 201};
constexpr Size k144Dpi{startboard::brand::kMenuClient.SizeAt(144), 202};
constexpr wchar_t kClassName[] = L"StartboardFloor";

HBITMAP picture = nullptr;

void Paint(HWND window) {
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(window, &paint);
  const HDC source = CreateCompatibleDC(dc);
  const HGDIOBJ previous = SelectObject(source, picture);
  const RECT& dirty = paint.rcPaint;
  BitBlt(dc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, source,
         dirty.left, dirty.top, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  // Marked before EndPaint, as the launcher does.
  startboard::bench::Mark("paint");
  EndPaint(window, &paint);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  const HDC screen = GetDC(nullptr);
  const Size size = GetDeviceCaps(screen, LOGPIXELSX) >= 144 ? k144Dpi : k96Dpi;
  ReleaseDC(nullptr, screen);
  picture = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(size.picture), IMAGE_BITMAP, 0, 0, 0));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  if (picture == nullptr || RegisterClassExW(&windowClass) == 0) return 1;
  const auto [width, height] = size.pixels;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  const HWND window =
      CreateWindowExW(WS_EX_APPWINDOW, kClassName, L"Floor", WS_POPUP | WS_SYSMENU, left, top,
                      width, height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DeleteObject(picture);
  return static_cast<int>(message.wParam);
}
