// The windows' geometry at any dpi, hit-testing in stacking order, picture
// resizing, and the one-command-at-a-time gate.
#include <gtest/gtest.h>

#include <array>
#include <span>
#include <vector>

#include "brand/Data.h"
#include "ui/ClickTracker.h"
#include "ui/CommandGate.h"
#include "ui/Layout.h"
#include "ui/Resample.h"

namespace startboard {
namespace {

// The name of what takes the mouse at a client pixel at `dpi`, as each window asks.
template <class Item, std::size_t N>
std::string NameAt(const std::array<Item, N>& frontToBack, int x, int y, int dpi) {
  const Item* item = FrontmostAt(std::span<const Item>(frontToBack), x, y, dpi);
  return item ? std::string(item->name) : "none";
}

TEST(Geometry, TheOverlapStripGoesToTheQuitZoneAtEveryDpi) {
  // Label4 (the logo) and Label6 (Quit) share 8400-10080 x 5070-5220 twips.
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const int left = TwipsToPixels(8400, dpi), top = TwipsToPixels(5070, dpi);
    const int right = TwipsToPixels(10080, dpi), bottom = TwipsToPixels(5220, dpi);
    EXPECT_EQ(NameAt(brand::kZones, left, top, dpi), "Label6");
    EXPECT_EQ(NameAt(brand::kZones, right - 1, bottom - 1, dpi), "Label6");
    EXPECT_EQ(NameAt(brand::kZones, left - 1, top, dpi), "Label4");
    EXPECT_EQ(NameAt(brand::kZones, right, top, dpi), "Label6");
  }
}

TEST(Geometry, LeftAndTopEdgesBelongToAZoneRightAndBottomDoNot) {
  // Label2 spans 3510-7395 x 45-2340 twips: 351-740 x 5-234 pixels at 144 dpi.
  EXPECT_EQ(NameAt(brand::kZones, 351, 5, 144), "Label2");
  EXPECT_EQ(NameAt(brand::kZones, 739, 233, 144), "Label2");
  EXPECT_EQ(NameAt(brand::kZones, 350, 100, 144), "none");
  EXPECT_EQ(NameAt(brand::kZones, 740, 100, 144), "none");
  EXPECT_EQ(NameAt(brand::kZones, 500, 234, 144), "none");
  EXPECT_EQ(NameAt(brand::kZones, 500, 4, 144), "none");
  EXPECT_EQ(NameAt(brand::kZones, -1, -1, 96), "none");
}

TEST(Geometry, AboutLabelsTakeTheMouseInStackingOrder) {
  EXPECT_EQ(NameAt(brand::kAboutControls, 50, 387, 96),
            "Label8");  // its corner hides the mail link
  const std::span<const AboutControl> about(brand::kAboutControls);
  EXPECT_EQ(FrontmostAt(about, 50, 387, 96)->click.kind, ActionKind::None);
  EXPECT_EQ(NameAt(brand::kAboutControls, 50, 337, 96), "Label6");  // in front of Label1
  EXPECT_EQ(NameAt(brand::kAboutControls, 400, 300, 96), "none");   // the oval takes no mouse
}

TEST(Geometry, WindowsAreCentredInTheWorkAreaAndKeptReachable) {
  EXPECT_EQ(CentredIn({0, 0, 1024, 738}, {725, 544}), (PixelRect{149, 97, 874, 641}));
  EXPECT_EQ(CentredIn({1920, 40, 3840, 1080}, {1088, 816}), (PixelRect{2336, 152, 3424, 968}));
  EXPECT_EQ(CentredIn({-1280, 0, 0, 680}, {1450, 1088}), (PixelRect{-1280, 0, 170, 1088}));
}

// Pixels (x * 37 + y * 91 + channel * 53) % 256, rows top-down or bottom-up.
std::vector<std::uint8_t> Pattern(int width, int height, bool bottomUp = false) {
  std::vector<std::uint8_t> pixels;
  for (int row = 0; row < height; ++row) {
    const int y = bottomUp ? height - 1 - row : row;
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 4; ++c) pixels.push_back((x * 37 + y * 91 + c * 53) % 256);
    }
  }
  return pixels;
}

// The pattern of width x height, stored top-down or bottom-up, resized in
// two bands, as two cores draw it.
std::vector<std::uint8_t> Resized(int width, int height, int toWidth, int toHeight,
                                  bool bottomUp = false) {
  const std::vector<std::uint8_t> source = Pattern(width, height, bottomUp);
  const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(width) * 4;
  std::vector<std::uint8_t> target(static_cast<std::size_t>(toWidth) * toHeight * 4);
  // A bottom-up picture starts at its last row in memory and steps back.
  const ConstPixels from{source.data() + (bottomUp ? (height - 1) * row : 0), width, height,
                         bottomUp ? -row : row};
  const Pixels to = Pixels::Packed(target.data(), toWidth, toHeight);
  ResampleRows(from, to, toHeight / 2, toHeight);
  ResampleRows(from, to, 0, toHeight / 2);
  return target;
}

TEST(Resample, GivesWhatPillowsBilinearFilterGives) {
  // Image.resize(..., BILINEAR) of the same pattern, computed with Pillow. (The
  // end-to-end tests hold an enlargement of the whole menu against Pillow.)
  const std::vector<std::uint8_t> shrunk{53, 106, 155, 166, 111, 164, 140, 129, 160, 163, 157,
                                         82, 146, 110, 95,  140, 159, 144, 108, 120, 97,  118,
                                         94, 128, 114, 117, 143, 164, 99,  148, 201, 101};
  EXPECT_EQ(Resized(7, 3, 4, 2), shrunk);
  EXPECT_EQ(Resized(7, 3, 4, 2, true), shrunk);
  EXPECT_EQ(Resized(5, 4, 5, 4), Pattern(5, 4));
}

TEST(ClickTracker, APressAndAReleaseOnOneLabelIsAClickAndADoubleClickIsOne) {
  const int label = 1;
  const int other = 2;
  ClickTracker<int> clicks;
  const auto click = [&](bool second, const int* releasedOver) {
    clicks.Press(&label, second);
    return clicks.Release(releasedOver);
  };
  EXPECT_EQ(click(false, &label), &label);
  EXPECT_EQ(click(true, &label), nullptr);  // the second press of a double click is no click
  clicks.OutOfUse();                        // but after a message box, answered since, it is one
  EXPECT_EQ(click(true, &label), &label);
  EXPECT_EQ(click(true, &label), nullptr);   // only once
  EXPECT_EQ(click(false, &other), nullptr);  // let go elsewhere
  clicks.Press(&label, false);
  clicks.Cancel();
  EXPECT_EQ(clicks.Release(&label), nullptr);
  EXPECT_EQ(clicks.Release(&label), nullptr);  // a release alone
}

TEST(CommandGate, DropsAClickThatArrivesWhileACommandRuns) {
  CommandGate gate;
  int runs = 0;
  const auto count = [&] { ++runs; };
  // Like a shell call dispatching messages, the command gets a second click.
  EXPECT_TRUE(gate.Run([&] { EXPECT_FALSE(gate.Run(count)); }));
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(gate.Run(count));  // once it has finished, the next one runs
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace startboard
