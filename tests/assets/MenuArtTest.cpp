// What the user sees: each menu item painted inside the zone that takes its
// clicks, plain background everywhere else, and a hand cursor whose hotspot
// is its fingertip.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>

#include "AssetFile.h"

namespace startboard::assets {
namespace {

// Click zones of the menu window in client pixels, edges inclusive.
struct Zone {
  const char* name;
  int left, top, right, bottom;
  bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
};

constexpr std::array<Zone, 5> kZones{{
    {"User Manual", 234, 3, 492, 155},
    {"Norvane 98 logo", 62, 176, 671, 347},
    {"Install Acrobat Reader", 4, 352, 152, 540},
    {"Install Now", 183, 353, 523, 540},
    {"Quit", 560, 338, 721, 540},
}};

// A stretch of plain background, clear of every zone, that shows the
// texture's range.
constexpr Zone kPlainPatch{"top left corner", 0, 0, 225, 165};

constexpr double kBackgroundCeiling = 100;  // no background pixel is brighter
constexpr double kBright = 200;             // buttons and captions reach this
constexpr int kBand = 3;                    // pixels checked either side of an edge

bool InAnyZone(int x, int y) {
  return std::any_of(kZones.begin(), kZones.end(), [&](const Zone& z) { return z.Contains(x, y); });
}

class MenuArt : public testing::Test {
 protected:
  static void SetUpTestSuite() { menu_ = new Bitmap8(ReadBitmap8(ReadAsset("menu.bmp"))); }
  static void TearDownTestSuite() {
    delete menu_;
    menu_ = nullptr;
  }

  static bool Inside(int x, int y) {
    return x >= 0 && y >= 0 && x < menu_->width && y < menu_->height;
  }

  // The brightest luma the plain texture reaches, with headroom for the
  // odd star or streak brighter than any in the patch.
  static double TextureCeiling() {
    double high = 0;
    for (int y = kPlainPatch.top; y <= kPlainPatch.bottom; ++y) {
      for (int x = kPlainPatch.left; x <= kPlainPatch.right; ++x) {
        high = std::max(high, menu_->Luma(x, y));
      }
    }
    return std::min(kBackgroundCeiling, high + 15);
  }

  static Bitmap8* menu_;
};

Bitmap8* MenuArt::menu_ = nullptr;

TEST_F(MenuArt, BackgroundIsDarkAndTextured) {
  ASSERT_FALSE(InAnyZone(kPlainPatch.left, kPlainPatch.top));
  ASSERT_FALSE(InAnyZone(kPlainPatch.right, kPlainPatch.bottom));
  double low = 255, high = 0, sum = 0;
  for (int y = kPlainPatch.top; y <= kPlainPatch.bottom; ++y) {
    for (int x = kPlainPatch.left; x <= kPlainPatch.right; ++x) {
      const double l = menu_->Luma(x, y);
      low = std::min(low, l);
      high = std::max(high, l);
      sum += l;
    }
  }
  const double mean = sum / (kPlainPatch.Width() * kPlainPatch.Height());
  EXPECT_LT(mean, 50);
  EXPECT_LE(high, kBackgroundCeiling);
  EXPECT_GT(high - low, 15) << "the background has texture, not a flat fill";
}

TEST_F(MenuArt, NothingBrightOutsideTheZones) {
  int stray = 0;
  for (int y = 0; y < menu_->height; ++y) {
    for (int x = 0; x < menu_->width; ++x) {
      if (!InAnyZone(x, y) && menu_->Luma(x, y) > kBackgroundCeiling) {
        ADD_FAILURE() << "bright pixel at " << x << "," << y;
        if (++stray > 10) return;
      }
    }
  }
}

TEST_F(MenuArt, EachItemKeepsClearOfItsZoneEdges) {
  const double ceiling = TextureCeiling();
  for (const Zone& z : kZones) {
    SCOPED_TRACE(z.name);
    int checked = 0, stray = 0;
    for (int y = z.top - kBand; y <= z.bottom + kBand; ++y) {
      for (int x = z.left - kBand; x <= z.right + kBand; ++x) {
        const bool nearEdge =
            x < z.left + kBand || x > z.right - kBand || y < z.top + kBand || y > z.bottom - kBand;
        if (!nearEdge || !Inside(x, y)) continue;
        // Just outside, another zone's own item may be painted.
        const bool outside = !z.Contains(x, y);
        if (outside && InAnyZone(x, y)) continue;
        ++checked;
        if (menu_->Luma(x, y) > ceiling && ++stray <= 5) {
          ADD_FAILURE() << "item reaches " << x << "," << y;
        }
      }
    }
    EXPECT_GT(checked, 2 * kBand * (z.Width() + z.Height()));
    EXPECT_EQ(stray, 0);
  }
}

TEST_F(MenuArt, LogoAndQuitOverlapIsBackground) {
  const double ceiling = TextureCeiling();
  for (int y = 338; y <= 347; ++y) {
    for (int x = 560; x <= 671; ++x) {
      ASSERT_TRUE(kZones[1].Contains(x, y) && kZones[4].Contains(x, y));
      ASSERT_LE(menu_->Luma(x, y), ceiling) << x << "," << y;
    }
  }
}

TEST_F(MenuArt, EachZoneHoldsABrightCentredItem) {
  for (const Zone& z : kZones) {
    SCOPED_TRACE(z.name);
    int bright = 0;
    int left = z.right, right = z.left, top = z.bottom, bottom = z.top;
    for (int y = z.top; y <= z.bottom; ++y) {
      for (int x = z.left; x <= z.right; ++x) {
        if (menu_->Luma(x, y) < kBright) continue;
        ++bright;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    EXPECT_GT(bright, 500);
    // The painted item fills a good part of its zone, centred across it,
    // so the zone covers what the user sees as the button.
    EXPECT_GE((right - left + 1) * 100, z.Width() * 45);
    EXPECT_GE((bottom - top + 1) * 100, z.Height() * 50);
    EXPECT_LE(std::abs((left - z.left) - (z.right - right)), 10);
  }
}

class HandArt : public testing::Test {
 protected:
  void SetUp() override {
    const Bytes file = ReadAsset("hand.cur");
    const IconDir dir = ReadIconDir(file);
    ASSERT_EQ(dir.entries.size(), 1u);
    hand_ = ReadIconImage(file, dir.entries[0]);
    ASSERT_EQ(hand_.size, 32);
  }
  IconImage hand_;
};

TEST_F(HandArt, FingertipIsTheHotspot) {
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 32; ++x) ASSERT_FALSE(hand_.Opaque(x, y)) << x << "," << y;
  }
  EXPECT_TRUE(hand_.Opaque(12, 8));
  // The tip is a narrow finger: row 8 is opaque only round x 12.
  for (int x = 0; x < 32; ++x) {
    if (hand_.Opaque(x, 8)) {
      EXPECT_LE(std::abs(x - 12), 2) << x;
    }
  }
  // The finger runs straight down from the tip.
  for (int y = 8; y < 16; ++y) EXPECT_TRUE(hand_.Opaque(12, y)) << y;
}

TEST_F(HandArt, BlackOutlineRoundWhiteFill) {
  int white = 0, black = 0, top = 31, bottom = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (!hand_.Opaque(x, y)) {
        // Transparent: the colour bits must leave the screen untouched.
        ASSERT_EQ(hand_.IndexAt(x, y), 0) << x << "," << y;
        continue;
      }
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      const bool edge = !hand_.Opaque(x - 1, y) || !hand_.Opaque(x + 1, y) ||
                        !hand_.Opaque(x, y - 1) || !hand_.Opaque(x, y + 1);
      const Rgb c = hand_.At(x, y);
      if (edge) {
        EXPECT_EQ(c, (Rgb{0, 0, 0})) << "outline at " << x << "," << y;
      }
      (c == Rgb{255, 255, 255} ? white : black)++;
    }
  }
  EXPECT_GT(white, 150) << "a filled hand, not an outline sketch";
  EXPECT_GT(black, 50);
  EXPECT_GE(bottom - top, 16) << "the hand is most of the cursor's height";
}

TEST(AppIconArt, RoundWithTransparentCorners) {
  const Bytes file = ReadAsset("startboard.ico");
  for (const DirEntry& e : ReadIconDir(file).entries) {
    const IconImage img = ReadIconImage(file, e);
    SCOPED_TRACE(img.size);
    const int n = img.size - 1;
    EXPECT_FALSE(img.Opaque(0, 0));
    EXPECT_FALSE(img.Opaque(n, 0));
    EXPECT_FALSE(img.Opaque(0, n));
    EXPECT_FALSE(img.Opaque(n, n));
    EXPECT_TRUE(img.Opaque(img.size / 2, img.size / 2));
    EXPECT_EQ(img.palette[0], (Rgb{0, 0, 0}));
    int colours = 0;
    std::array<bool, 16> used{};
    for (int y = 0; y < img.size; ++y) {
      for (int x = 0; x < img.size; ++x) {
        if (!img.Opaque(x, y)) {
          ASSERT_EQ(img.IndexAt(x, y), 0) << x << "," << y;
        } else if (!used[img.IndexAt(x, y)]) {
          used[img.IndexAt(x, y)] = true;
          ++colours;
        }
      }
    }
    EXPECT_GE(colours, 8) << "shaded, not flat";
  }
}

}  // namespace
}  // namespace startboard::assets
