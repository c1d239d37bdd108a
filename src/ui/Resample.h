// Resizing of the launcher's pictures for screens above or below 96 dpi.
#pragma once

#include <cstddef>
#include <cstdint>

namespace startboard {

// A picture of 8-bit channels, blue first, as DIB sections hold them: four
// a pixel (32-bit) or three (24-bit, as JPEGs decode). `stride` is the
// distance from one row to the next, in bytes; it is negative for a
// bottom-up picture whose `pixels` point at its top row.
template <class Byte>
struct PixelsOf {
  Byte* pixels;
  int width, height;
  std::ptrdiff_t stride;
  int channels = 4;
  Byte* Row(int y) const { return pixels + y * stride; }
  // A top-down picture whose rows start on four-byte boundaries, as in a DIB.
  static PixelsOf Packed(Byte* pixels, int width, int height, int channels = 4) {
    return {pixels, width, height, (static_cast<std::ptrdiff_t>(width) * channels + 3) & ~3,
            channels};
  }
};
using ConstPixels = PixelsOf<const std::uint8_t>;
using Pixels = PixelsOf<std::uint8_t>;

// Draws the colours of `from` (of three or four channels) into all of `to`
// (of four, the fourth 255: opaque) with a triangle (bilinear) filter whose
// reach grows with the reduction, so that every source pixel counts when a
// 2x picture is shrunk for 144 dpi, and an enlargement stays smooth. Rows
// are filtered across first, then down, in 22-bit fixed point, and each
// across-filtered row is made once and kept only while rows below need it.
void Resample(const ConstPixels& from, const Pixels& to);

// Rows [firstRow, endRow) of what Resample draws, the same pixels: bands of
// one picture can be drawn on several cores at once.
void ResampleRows(const ConstPixels& from, const Pixels& to, int firstRow, int endRow);

}  // namespace startboard
