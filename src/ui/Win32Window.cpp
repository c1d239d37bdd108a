#include "ui/Win32Window.h"

#include <commctrl.h>

#include "shell/Unicode.h"

namespace startboard {

POINT MessageClientPoint(HWND window) {
  const DWORD position = GetMessagePos();
  POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  ScreenToClient(window, &point);
  return point;
}

void ShowCursorShape(HCURSOR cursor) {
  if (GetCursor() != cursor) SetCursor(cursor);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return;
  const MemoryDc source(CreateCompatibleDC(dc));
  const Selection selected(source.get(), bitmap);
  BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
}

RECT CentredWindowRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return {left, top, left + width, top + height};
}

bool Tooltips::CreateControl(HWND owner) {
  control_ = CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)), nullptr);
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

}  // namespace startboard
