// Placement and hit-testing shared by both windows' layout tables.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

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

// The front-most item under a point at `dpi`, for tables kept front to
// back; items for which TakesMouse() is false (shapes, child windows) are
// passed over.
template <class Item>
const Item* FrontmostAt(std::span<const Item> frontToBack, int x, int y, int dpi) {
  for (const Item& item : frontToBack) {
    if (item.TakesMouse() && item.twips.At(dpi).Contains(x, y)) return &item;
  }
  return nullptr;
}

// Where a keyboard focus moves among `count` (> 0) items in a ring: one on,
// or one back; from no focus yet, to the first, or back to the last.
constexpr std::size_t NextInRing(std::optional<std::size_t> at, std::size_t count, bool forward) {
  if (!at) return forward ? 0 : count - 1;
  return (*at + (forward ? 1 : count - 1)) % count;
}

}  // namespace startboard
