// The artwork files' exact layouts: the resource compiler and LoadImage take
// them as they are, so every header field is pinned.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "AssetFile.h"

namespace startboard::assets {
namespace {

struct BitmapLayout {
  const char* file;
  int width, height;
  std::size_t stride;
  std::uint32_t colours, dataOffset, fileSize;
};

constexpr BitmapLayout kMenu{"menu.bmp", 725, 544, 728, 241, 1018, 397052};
constexpr BitmapLayout kProductLogo{"product-logo.bmp", 300, 129, 300, 256, 1078, 39780};

void ExpectLayout(const BitmapLayout& want) {
  SCOPED_TRACE(want.file);
  const Bytes file = ReadAsset(want.file);
  ASSERT_EQ(file.size(), want.fileSize);
  EXPECT_EQ(U16(file, 0), 0x4D42);  // "BM"
  EXPECT_EQ(U32(file, 2), want.fileSize);
  EXPECT_EQ(U32(file, 6), 0u);  // reserved
  EXPECT_EQ(U32(file, 10), want.dataOffset);

  const DibHeader dib = ReadDib(file, 14);
  EXPECT_EQ(dib.size, 40u);
  EXPECT_EQ(dib.width, want.width);
  EXPECT_EQ(dib.height, want.height);  // positive: bottom-up
  EXPECT_EQ(dib.planes, 1);
  EXPECT_EQ(dib.bitCount, 8);
  EXPECT_EQ(dib.compression, 0u);
  const std::size_t stride = want.stride;
  EXPECT_EQ(RowBytes(want.width, 8), stride);
  EXPECT_EQ(dib.sizeImage, stride * static_cast<std::size_t>(want.height));
  EXPECT_EQ(dib.xPelsPerMeter, 2834);
  EXPECT_EQ(dib.yPelsPerMeter, 2834);
  EXPECT_EQ(dib.clrUsed, want.colours);
  EXPECT_LE(dib.clrImportant, want.colours);
  EXPECT_EQ(14 + dib.size + 4 * dib.clrUsed, want.dataOffset);

  // Pixels fill the file up to two zero bytes of padding at its end.
  EXPECT_EQ(want.dataOffset + dib.sizeImage + 2, want.fileSize);
  EXPECT_EQ(file[file.size() - 2], 0);
  EXPECT_EQ(file[file.size() - 1], 0);

  const Bitmap8 bmp = ReadBitmap8(file);
  EXPECT_TRUE(std::all_of(bmp.index.begin(), bmp.index.end(),
                          [&](std::uint8_t i) { return i < want.colours; }));
  for (std::uint32_t i = 0; i < want.colours; ++i) {
    EXPECT_EQ(file[54 + 4 * i + 3], 0) << "palette entry " << i;
  }
  const auto width = static_cast<std::size_t>(want.width);
  for (std::size_t row = 0; row < static_cast<std::size_t>(want.height); ++row) {
    for (std::size_t pad = width; pad < stride; ++pad) {
      ASSERT_EQ(file[want.dataOffset + row * stride + pad], 0) << "row " << row;
    }
  }
}

TEST(BitmapLayout, MenuBackground) { ExpectLayout(kMenu); }

TEST(BitmapLayout, ProductLogo) { ExpectLayout(kProductLogo); }

TEST(ProductLogo, LettersOnBlack) {
  const Bitmap8 logo = ReadBitmap8(ReadAsset("product-logo.bmp"));
  // The frame round the logo is plain black, for the About window's black.
  for (int x = 0; x < logo.width; ++x) {
    for (int y : {0, 1, logo.height - 2, logo.height - 1}) {
      ASSERT_EQ(logo.At(x, y), (Rgb{0, 0, 0})) << x << "," << y;
    }
  }
  for (int y = 0; y < logo.height; ++y) {
    ASSERT_EQ(logo.At(0, y), (Rgb{0, 0, 0})) << y;
    ASSERT_EQ(logo.At(logo.width - 1, y), (Rgb{0, 0, 0})) << y;
  }
  int bright = 0;
  for (int y = 0; y < logo.height; ++y) {
    for (int x = 0; x < logo.width; ++x) bright += logo.Luma(x, y) > 200 ? 1 : 0;
  }
  EXPECT_GT(bright, 1000) << "the lettering itself";
}

// JPEG markers up to the start of scan.
struct JpegMarkers {
  std::vector<std::uint8_t> codes;
  std::optional<std::size_t> app0, sof;
};

JpegMarkers ScanJpeg(const Bytes& file) {
  JpegMarkers m;
  std::size_t at = 2;
  while (at + 4 <= file.size()) {
    if (file[at] != 0xFF) throw std::runtime_error("lost marker sync");
    const std::uint8_t code = file[at + 1];
    m.codes.push_back(code);
    if (code == 0xE0 && !m.app0) m.app0 = at;
    if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) m.sof = at;
    if (code == 0xDA) break;  // entropy-coded data follows
    at += 2 + BigU16(file, at + 2);
  }
  return m;
}

TEST(MakerLogo, BaselineJfifOfTheRightSize) {
  const Bytes file = ReadAsset("maker-logo.jpg");
  EXPECT_GE(file.size(), 5000u);
  EXPECT_LE(file.size(), 7000u);
  ASSERT_GE(file.size(), 4u);
  EXPECT_EQ(BigU16(file, 0), 0xFFD8);                // SOI
  EXPECT_EQ(BigU16(file, file.size() - 2), 0xFFD9);  // EOI

  const JpegMarkers m = ScanJpeg(file);
  ASSERT_FALSE(m.codes.empty());
  EXPECT_EQ(m.codes.front(), 0xE0) << "JFIF APP0 comes straight after SOI";
  ASSERT_TRUE(m.app0.has_value());
  EXPECT_EQ(std::string(file.begin() + static_cast<long>(*m.app0) + 4,
                        file.begin() + static_cast<long>(*m.app0) + 9),
            std::string("JFIF\0", 5));
  EXPECT_EQ(m.codes.back(), 0xDA);
  EXPECT_EQ(std::count(m.codes.begin(), m.codes.end(), 0xC0), 1) << "one SOF0";
  EXPECT_EQ(std::count(m.codes.begin(), m.codes.end(), 0xC2), 0) << "not progressive";

  ASSERT_TRUE(m.sof.has_value());
  const std::size_t sof = *m.sof;
  EXPECT_EQ(file[sof + 1], 0xC0);
  EXPECT_EQ(file[sof + 4], 8);            // sample precision
  EXPECT_EQ(BigU16(file, sof + 5), 93);   // height
  EXPECT_EQ(BigU16(file, sof + 7), 180);  // width
  ASSERT_EQ(file[sof + 9], 3);            // Y, Cb, Cr
  for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(file[sof + 10 + 3 * c], c + 1);
}

TEST(HandCursor, OneMonochrome32By32ImageWithItsHotspot) {
  const Bytes file = ReadAsset("hand.cur");
  const IconDir dir = ReadIconDir(file);
  EXPECT_EQ(dir.reserved, 0);
  EXPECT_EQ(dir.type, 2);
  ASSERT_EQ(dir.entries.size(), 1u);
  const DirEntry& e = dir.entries[0];
  EXPECT_EQ(e.width, 32);
  EXPECT_EQ(e.height, 32);
  EXPECT_EQ(e.planesOrHotX, 12);
  EXPECT_EQ(e.bitCountOrHotY, 8);
  EXPECT_EQ(e.offset, 6u + 16u);
  EXPECT_EQ(e.offset + e.bytes, file.size());

  const IconImage img = ReadIconImage(file, e);
  EXPECT_EQ(img.dib.size, 40u);
  EXPECT_EQ(img.dib.width, 32);
  EXPECT_EQ(img.dib.height, 64);  // colour bits and mask
  EXPECT_EQ(img.dib.planes, 1);
  EXPECT_EQ(img.dib.bitCount, 1);
  EXPECT_EQ(img.dib.compression, 0u);
  ASSERT_EQ(img.palette.size(), 2u);
  EXPECT_EQ(img.palette[0], (Rgb{0, 0, 0}));
  EXPECT_EQ(img.palette[1], (Rgb{255, 255, 255}));
  EXPECT_EQ(RowBytes(32, 1), 4u);
  EXPECT_EQ(img.ExpectedBytes(), 40u + 8u + 128u + 128u);
  EXPECT_EQ(e.bytes, img.ExpectedBytes());
}

TEST(AppIcon, SixteenAndThirtyTwoAtFourBitsEach) {
  const Bytes file = ReadAsset("startboard.ico");
  const IconDir dir = ReadIconDir(file);
  EXPECT_EQ(dir.reserved, 0);
  EXPECT_EQ(dir.type, 1);
  ASSERT_EQ(dir.entries.size(), 2u);
  std::set<int> sizes;
  std::uint32_t next = 6 + 16 * 2;  // images follow the directory, back to back
  for (const DirEntry& e : dir.entries) {
    SCOPED_TRACE(int{e.width});
    sizes.insert(e.width);
    EXPECT_EQ(e.height, e.width);
    EXPECT_EQ(e.colourCount, 16);
    EXPECT_EQ(e.reserved, 0);
    EXPECT_EQ(e.planesOrHotX, 1);
    EXPECT_EQ(e.bitCountOrHotY, 4);
    EXPECT_EQ(e.offset, next);
    next = e.offset + e.bytes;

    const IconImage img = ReadIconImage(file, e);
    EXPECT_EQ(img.dib.size, 40u);
    EXPECT_EQ(img.dib.width, e.width);
    EXPECT_EQ(img.dib.height, 2 * e.width);
    EXPECT_EQ(img.dib.planes, 1);
    EXPECT_EQ(img.dib.bitCount, 4);
    EXPECT_EQ(img.dib.compression, 0u);
    EXPECT_EQ(img.palette.size(), 16u);
    EXPECT_EQ(e.bytes, img.ExpectedBytes());
  }
  EXPECT_EQ(next, file.size());
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));
  EXPECT_EQ(ReadIconImage(file, dir.entries[0]).ExpectedBytes(), 40u + 64u + 128u + 64u);
  EXPECT_EQ(ReadIconImage(file, dir.entries[1]).ExpectedBytes(), 40u + 64u + 512u + 128u);
}

}  // namespace
}  // namespace startboard::assets
