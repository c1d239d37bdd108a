// Geometry shared by both windows' layout tables: rectangles are designed in
// twips (1/1440 inch) and shown in pixels at the screen's dots per inch.
#pragma once

#include <span>

#include "shell/ShellServices.h"

namespace startboard {

inline constexpr int kDefaultDpi = 96;  // 15 twips a pixel
inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at `dpi`, rounded to the nearest pixel (halves up). Every
// size and edge goes through here, so what is drawn and what takes the
// mouse always agree.
constexpr int TwipsToPixels(int twips, int dpi) {
  return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

// A length in pixels at 96 dots per inch (a picture's natural size), at `dpi`.
constexpr int ScaleToDpi(int pixels, int dpi) {
  return TwipsToPixels(pixels * (kTwipsPerInch / kDefaultDpi), dpi);
}

struct PixelSize {
  int width, height;
  bool operator==(const PixelSize&) const = default;
};

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
  // Each edge is rounded on its own, so neighbouring rectangles stay flush.
  constexpr PixelRect At(int dpi) const {
    return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(left + width, dpi),
            TwipsToPixels(top + height, dpi)};
  }
  constexpr PixelSize SizeAt(int dpi) const {
    const PixelRect rect = At(dpi);
    return {rect.Width(), rect.Height()};
  }
};

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

// What a click on a control runs.
using Command = void (*)(ShellServices&);

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

}  // namespace startboard
