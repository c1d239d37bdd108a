// Geometry shared by both windows' layout tables: rectangles are designed in
// twips and shown in pixels at 96 dots per inch.
#pragma once

#include <span>

#include "shell/ShellServices.h"

namespace startboard {

inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) { return twips / kTwipsPerPixel; }

struct PixelRect {
  int left, top, right, bottom;  // right and bottom are exclusive
  constexpr bool Contains(int x, int y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

struct TwipRect {
  int left, top, width, height;
  constexpr PixelRect ToPixels() const {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(left + width),
            TwipsToPixels(top + height)};
  }
};

// What a click on a control runs.
using Command = void (*)(ShellServices&);

// The front-most item under a point, for tables kept front to back; items
// for which TakesMouse() is false (shapes, child windows) are passed over.
template <class Item>
const Item* FrontmostAt(std::span<const Item> frontToBack, int x, int y) {
  for (const Item& item : frontToBack) {
    if (item.TakesMouse() && item.twips.ToPixels().Contains(x, y)) return &item;
  }
  return nullptr;
}

}  // namespace startboard
