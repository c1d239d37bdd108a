// Where a window goes on its monitor, and the pointer's size.
#pragma once

#include "brand/Geometry.h"

namespace startboard {

// Where a window of `size` lies centred in a monitor's work area. One that
// does not fit keeps its top left corner in the area, where the user can
// reach it.
constexpr PixelRect CentredIn(const PixelRect& area, PixelSize size) {
  const int left = area.left + (area.Width() > size.width ? (area.Width() - size.width) / 2 : 0);
  const int top = area.top + (area.Height() > size.height ? (area.Height() - size.height) / 2 : 0);
  return {left, top, left + size.width, top + size.height};
}

// The pointing hand is drawn at 32, 48 and 64 pixels. A monochrome cursor
// stretched to an in-between size looks ragged, so a dpi gets the largest
// drawn size that is not larger than 32 pixels scaled to it.
constexpr int CursorSizeFor(int dpi) {
  const int wanted = ScaleToDpi(32, dpi);
  return wanted >= 64 ? 64 : wanted >= 48 ? 48 : 32;
}

}  // namespace startboard
