// The little drawing the windows share.
#pragma once

#include <windows.h>

#include "brand/Types.h"
#include "shell/Handles.h"

namespace startboard {

constexpr COLORREF ToColorRef(Rgb rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

inline RECT ToRect(const PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// A bitmap's size in pixels; 0 x 0 for none.
PixelSize BitmapSize(HBITMAP bitmap);

// Draws a bitmap at its natural size with its top-left corner at (x, y).
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);

}  // namespace startboard
