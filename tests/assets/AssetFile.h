// Small readers for the artwork files: little-endian fields, 8-bit bitmaps
// and icon/cursor directories. Independent of the tool that writes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace startboard::assets {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadAsset(const std::string& name) {
  std::ifstream in(std::filesystem::path(STARTBOARD_ASSETS_DIR) / name, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + name);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void Need(const Bytes& b, std::size_t at, std::size_t n) {
  if (at > b.size() || b.size() - at < n) throw std::out_of_range("read past end of file");
}

inline std::uint8_t U8(const Bytes& b, std::size_t at) {
  Need(b, at, 1);
  return b[at];
}

inline std::uint16_t U16(const Bytes& b, std::size_t at) {
  Need(b, at, 2);
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

inline std::uint32_t U32(const Bytes& b, std::size_t at) {
  Need(b, at, 4);
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

inline std::int32_t I32(const Bytes& b, std::size_t at) {
  const std::uint32_t u = U32(b, at);
  std::int32_t i;
  std::memcpy(&i, &u, sizeof i);
  return i;
}

inline std::uint16_t BigU16(const Bytes& b, std::size_t at) {
  Need(b, at, 2);
  return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}

struct DibHeader {
  std::uint32_t size;
  std::int32_t width, height;
  std::uint16_t planes, bitCount;
  std::uint32_t compression, sizeImage;
  std::int32_t xPelsPerMeter, yPelsPerMeter;
  std::uint32_t clrUsed, clrImportant;
};

inline DibHeader ReadDib(const Bytes& b, std::size_t at) {
  return {U32(b, at),      I32(b, at + 4),  I32(b, at + 8),  U16(b, at + 12),
          U16(b, at + 14), U32(b, at + 16), U32(b, at + 20), I32(b, at + 24),
          I32(b, at + 28), U32(b, at + 32), U32(b, at + 36)};
}

struct Rgb {
  std::uint8_t r, g, b;
  double Luma() const { return 0.299 * r + 0.587 * g + 0.114 * b; }
  bool operator==(const Rgb&) const = default;
};

inline std::vector<Rgb> ReadPalette(const Bytes& b, std::size_t at, std::size_t count) {
  std::vector<Rgb> palette;
  for (std::size_t i = 0; i < count; ++i) {
    palette.push_back({U8(b, at + 4 * i + 2), U8(b, at + 4 * i + 1), U8(b, at + 4 * i)});
  }
  return palette;
}

// An uncompressed 8-bit BMP file, its pixels held top row first.
struct Bitmap8 {
  std::uint32_t fileSize = 0, dataOffset = 0;
  DibHeader dib{};
  std::vector<Rgb> palette;
  int width = 0, height = 0;
  std::size_t stride = 0;
  std::vector<std::uint8_t> index;

  std::uint8_t IndexAt(int x, int y) const {
    return index[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)];
  }
  Rgb At(int x, int y) const { return palette.at(IndexAt(x, y)); }
  double Luma(int x, int y) const { return At(x, y).Luma(); }
};

inline Bitmap8 ReadBitmap8(const Bytes& file) {
  Bitmap8 bmp;
  if (U16(file, 0) != 0x4D42) throw std::runtime_error("not a BMP file");
  bmp.fileSize = U32(file, 2);
  bmp.dataOffset = U32(file, 10);
  bmp.dib = ReadDib(file, 14);
  if (bmp.dib.bitCount != 8 || bmp.dib.width <= 0 || bmp.dib.height == 0) {
    throw std::runtime_error("not an 8-bit bitmap");
  }
  const std::size_t colours = bmp.dib.clrUsed != 0 ? bmp.dib.clrUsed : 256;
  bmp.palette = ReadPalette(file, 14 + bmp.dib.size, colours);
  bmp.width = bmp.dib.width;
  bmp.height = bmp.dib.height < 0 ? -bmp.dib.height : bmp.dib.height;
  bmp.stride = (static_cast<std::size_t>(bmp.width) + 3) & ~std::size_t{3};
  const auto w = static_cast<std::size_t>(bmp.width);
  const auto h = static_cast<std::size_t>(bmp.height);
  Need(file, bmp.dataOffset, bmp.stride * h);
  bmp.index.resize(w * h);
  for (std::size_t row = 0; row < h; ++row) {
    const std::size_t y = bmp.dib.height > 0 ? h - 1 - row : row;
    std::memcpy(&bmp.index[y * w], &file[bmp.dataOffset + row * bmp.stride], w);
  }
  return bmp;
}

// One ICONDIRENTRY; for cursors the planes and bit count fields hold the
// hotspot.
struct DirEntry {
  std::uint8_t width, height, colourCount, reserved;
  std::uint16_t planesOrHotX, bitCountOrHotY;
  std::uint32_t bytes, offset;
};

struct IconDir {
  std::uint16_t reserved, type;
  std::vector<DirEntry> entries;
};

inline IconDir ReadIconDir(const Bytes& file) {
  IconDir dir{U16(file, 0), U16(file, 2), {}};
  const std::uint16_t count = U16(file, 4);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 6 + 16 * i;
    dir.entries.push_back({U8(file, at), U8(file, at + 1), U8(file, at + 2), U8(file, at + 3),
                           U16(file, at + 4), U16(file, at + 6), U32(file, at + 8),
                           U32(file, at + 12)});
  }
  return dir;
}

// Bytes in one bottom-up row of w pixels at bpp bits, padded to 4 bytes.
constexpr std::size_t RowBytes(int w, int bpp) {
  return ((static_cast<std::size_t>(w) * static_cast<std::size_t>(bpp) + 31) / 32) * 4;
}

// An icon or cursor image: the colour (XOR) bitmap and the AND mask, both
// square, decoded top row first.
struct IconImage {
  DibHeader dib{};
  int size = 0;
  std::vector<Rgb> palette;
  std::vector<std::uint8_t> colour;  // palette index per pixel
  std::vector<bool> transparent;     // AND mask bit per pixel

  std::size_t Pos(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
           static_cast<std::size_t>(x);
  }
  bool Opaque(int x, int y) const {
    return x >= 0 && y >= 0 && x < size && y < size && !transparent[Pos(x, y)];
  }
  std::uint8_t IndexAt(int x, int y) const { return colour[Pos(x, y)]; }
  Rgb At(int x, int y) const { return palette.at(IndexAt(x, y)); }
  // Bytes the image should take: header, palette, XOR rows and AND rows.
  std::size_t ExpectedBytes() const {
    return dib.size + 4 * palette.size() +
           (RowBytes(size, dib.bitCount) + RowBytes(size, 1)) * static_cast<std::size_t>(size);
  }
};

inline IconImage ReadIconImage(const Bytes& file, const DirEntry& entry) {
  IconImage img;
  img.dib = ReadDib(file, entry.offset);
  img.size = img.dib.width;
  const int bpp = img.dib.bitCount;
  if (img.size <= 0 || img.dib.height != 2 * img.size || (bpp != 1 && bpp != 4 && bpp != 8)) {
    throw std::runtime_error("unexpected icon image header");
  }
  const std::size_t colours = img.dib.clrUsed != 0 ? img.dib.clrUsed : std::size_t{1} << bpp;
  const std::size_t paletteAt = entry.offset + img.dib.size;
  img.palette = ReadPalette(file, paletteAt, colours);
  const std::size_t xorAt = paletteAt + 4 * colours;
  const std::size_t xorRow = RowBytes(img.size, bpp);
  const std::size_t andAt = xorAt + xorRow * static_cast<std::size_t>(img.size);
  const std::size_t andRow = RowBytes(img.size, 1);
  const auto n = static_cast<std::size_t>(img.size);
  img.colour.resize(n * n);
  img.transparent.resize(n * n);
  for (int y = 0; y < img.size; ++y) {
    const auto row = static_cast<std::size_t>(img.size - 1 - y);  // bottom-up
    for (int x = 0; x < img.size; ++x) {
      const auto bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp);
      const std::uint8_t byte = U8(file, xorAt + row * xorRow + bit / 8);
      const int shift = 8 - bpp - static_cast<int>(bit % 8);
      img.colour[img.Pos(x, y)] = static_cast<std::uint8_t>((byte >> shift) & ((1 << bpp) - 1));
      const auto x8 = static_cast<std::size_t>(x);
      const std::uint8_t mask = U8(file, andAt + row * andRow + x8 / 8);
      img.transparent[img.Pos(x, y)] = ((mask >> (7 - x8 % 8)) & 1) != 0;
    }
  }
  return img;
}

}  // namespace startboard::assets
