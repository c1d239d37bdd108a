// What the pointer and the keys reach in stacking and reading order,
// picture resizing, what a click is, and the one-command gate.
#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <vector>

#include "ui/ClickTracker.h"
#include "ui/CommandGate.h"
#include "ui/Resample.h"
#include "ui/Targets.h"

namespace startboard {
namespace {

// Rectangles in twips, 15 to a pixel at 96 dpi.
constexpr TwipRect Px96(int left, int top, int width, int height) {
  return {left * 15, top * 15, width * 15, height * 15};
}

TEST(Targets, TheFrontOneTakesTheMouseAndOnlyTheFocusOrderTakesTheFocus) {
  const Action web{.kind = ActionKind::Web};
  const std::array<HotZone, 3> zones{{{"front", Px96(10, 10, 20, 20), "", web},
                                      {"back", Px96(0, 0, 40, 40), "", web},
                                      {"alone", Px96(50, 0, 10, 10), "", web}}};
  const Targets targets = ZoneTargets(zones, std::array{2, 0});
  EXPECT_EQ(targets.At(29, 29, 96), 0U);
  EXPECT_EQ(targets.At(30, 29, 96), 1U);  // the front one's right edge is the back one's
  EXPECT_EQ(targets.At(45, 5, 144), 1U);  // 40 x 40 pixels at 96 dpi: 60 x 60
  EXPECT_EQ(targets.At(40, 5, 96), std::nullopt);
  EXPECT_EQ(targets.Next(std::nullopt, true), 2U);  // in that order, round
  EXPECT_EQ(targets.Next(std::nullopt, false), 0U);
  EXPECT_EQ(targets.Next(0, true), 2U);
  EXPECT_EQ(targets.Next(2, false), 0U);
  EXPECT_FALSE(targets.Focusable(1));
  EXPECT_EQ(Targets{}.Next(std::nullopt, true), std::nullopt);
}

TEST(Targets, AboutLinksAreListedInReadingOrderAndAPlainLabelHidesOne) {
  const auto label = [](int left, int top, std::string_view text, ActionKind kind) {
    return AboutControl{.kind = ControlKind::Label,
                        .twips = Px96(left, top, 30, 10),
                        .text = text,
                        .click = {.kind = kind}};
  };
  const std::array<AboutControl, 5> controls{
      label(0, 40, "plain", ActionKind::None), label(10, 40, "mail", ActionKind::Web),
      AboutControl{.kind = ControlKind::Oval, .twips = Px96(0, 0, 100, 100)},
      label(60, 20, "site", ActionKind::Web), label(0, 20, "home", ActionKind::Web)};
  const Targets targets = AboutTargets(controls);
  std::vector<std::string_view> read;
  for (const std::size_t index : targets.listed) read.push_back(targets.frontToBack[index].name);
  EXPECT_EQ(read, (std::vector<std::string_view>{"home", "site", "mail"}));
  EXPECT_EQ(targets.keyRing, targets.listed);
  EXPECT_EQ(targets.ListedAs(targets.At(15, 45, 96)), std::nullopt);  // under the plain label
  EXPECT_EQ(targets.ListedAs(targets.At(35, 45, 96)), 2U);
  EXPECT_EQ(targets.At(50, 70, 96), std::nullopt);  // the oval takes no mouse
}

// Pixels (x * 37 + y * 91 + channel * 53) % 256, rows top-down or bottom-up,
// of `channels` a pixel and padded to four bytes, as in a DIB.
std::vector<std::uint8_t> Pattern(int width, int height, bool bottomUp = false, int channels = 4) {
  std::vector<std::uint8_t> pixels;
  for (int row = 0; row < height; ++row) {
    const int y = bottomUp ? height - 1 - row : row;
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < channels; ++c) pixels.push_back((x * 37 + y * 91 + c * 53) % 256);
    }
    while (pixels.size() % 4 != 0) pixels.push_back(0);
  }
  return pixels;
}

// The pattern of width x height, stored top-down or bottom-up, resized in
// two bands, as two cores draw it.
std::vector<std::uint8_t> Resized(int width, int height, int toWidth, int toHeight,
                                  bool bottomUp = false, int channels = 4) {
  const std::vector<std::uint8_t> source = Pattern(width, height, bottomUp, channels);
  const std::ptrdiff_t row = ConstPixels::Packed(nullptr, width, height, channels).stride;
  std::vector<std::uint8_t> target(static_cast<std::size_t>(toWidth) * toHeight * 4);
  // A bottom-up picture starts at its last row in memory and steps back.
  const ConstPixels from{source.data() + (bottomUp ? (height - 1) * row : 0), width, height,
                         bottomUp ? -row : row, channels};
  const Pixels to = Pixels::Packed(target.data(), toWidth, toHeight);
  ResampleRows(from, to, toHeight / 2, toHeight);
  ResampleRows(from, to, 0, toHeight / 2);
  return target;
}

TEST(Resample, GivesWhatPillowsBilinearFilterGives) {
  // Image.resize(..., BILINEAR) of the same pattern, computed with Pillow. (The
  // end-to-end tests hold an enlargement of the whole menu against Pillow.)
  // (The fourth channel comes out opaque.)
  const std::vector<std::uint8_t> shrunk{53,  106, 155, 255, 111, 164, 140, 255, 160, 163, 157,
                                         255, 146, 110, 95,  255, 159, 144, 108, 255, 97,  118,
                                         94,  255, 114, 117, 143, 255, 99,  148, 201, 255};
  EXPECT_EQ(Resized(7, 3, 4, 2), shrunk);
  EXPECT_EQ(Resized(7, 3, 4, 2, true), shrunk);
  std::vector<std::uint8_t> same = Pattern(5, 4);
  for (std::size_t alpha = 3; alpha < same.size(); alpha += 4) same[alpha] = 255;
  EXPECT_EQ(Resized(5, 4, 5, 4), same);
  // A 24-bit picture, its rows padded as in a DIB, gives the same.
  EXPECT_EQ(Resized(7, 3, 4, 2, false, 3), shrunk);
  EXPECT_EQ(Resized(7, 3, 4, 2, true, 3), shrunk);
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
