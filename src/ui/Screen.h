// The screen a window is on: its dpi, its monitor's work area, the window's
// place there, and the pointer over it.
#pragma once

#include <windows.h>

#include "brand/Geometry.h"

namespace startboard {

// Sent when the window has moved to a monitor of another dpi (Windows 8.1 and
// later): the new dpi in HIWORD(wParam), a suggested window RECT* in lParam.
constexpr UINT kDpiChangedMessage = 0x02E0;

// Takes the window rectangle that Windows suggests with kDpiChangedMessage
// (its lParam) and has the whole window drawn again.
void MoveToSuggested(HWND window, LPARAM suggested);

// The dots per inch a window is drawn at: its monitor's where Windows knows
// them (8.1 and later), else the system's.
int DpiOf(HWND window);
// The system's dots per inch, which a window has unless its monitor differs.
int SystemDpi();

// The work area (the monitor less the task bar) of the monitor that holds
// the point, or most of the window.
PixelRect WorkAreaAt(POINT point);
PixelRect WorkAreaOf(HWND window);

// Sizes a window so that its client area is `client` at `dpi`, frame
// included, and centres it in `area`.
void PlaceCentred(HWND window, const PixelRect& area, const TwipRect& client, int dpi);

// Where the pointer is now, in client coordinates. (WM_SETCURSOR comes before
// the move it belongs to is taken from the queue, so the last message's
// position is one move behind: at a label's edge the shape would be wrong.)
POINT CursorClientPoint(HWND window);

// Sets the mouse pointer unless it already has that shape: WM_SETCURSOR
// comes with every mouse move.
void ShowCursorShape(HCURSOR cursor);

}  // namespace startboard
