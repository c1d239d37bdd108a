// Rectangles are designed in twips (1/1440 inch) and shown in pixels at the
// screen's dots per inch. Beside the brand's types, whose tables hold them.
#pragma once

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

}  // namespace startboard
