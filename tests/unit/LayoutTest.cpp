// The windows' geometry at any dpi, hit-testing in stacking order, picture
// resizing, and the one-command-at-a-time gate.
#include <gtest/gtest.h>

#include <vector>

#include "RecordingShell.h"
#include "ui/AboutLayout.h"
#include "ui/ClickTracker.h"
#include "ui/CommandGate.h"
#include "ui/MainLayout.h"
#include "ui/Resample.h"

namespace startboard {
namespace {

std::string ZoneAt(int x, int y, int dpi) {
  const HotZone* zone = HotZoneAt(x, y, dpi);
  return zone ? std::string(zone->name) : "none";
}

TEST(Geometry, TwipsRoundToTheNearestPixelAtEveryDpi) {
  const std::pair<int, PixelSize> main[] = {
      {96, {725, 544}}, {120, {906, 680}}, {144, {1088, 816}}, {192, {1450, 1088}}};
  for (const auto& [dpi, size] : main) EXPECT_EQ(kMainClient.SizeAt(dpi), size) << dpi;
  EXPECT_EQ(kAboutClient.SizeAt(96), (PixelSize{457, 415}));
  EXPECT_EQ(kAboutClient.SizeAt(144), (PixelSize{686, 623}));  // 685.5 x 622.5, halves up
  EXPECT_EQ(ScaleToDpi(300, 144), 450);
  EXPECT_EQ(ScaleToDpi(129, 144), 194);
}

TEST(Geometry, TheOverlapStripGoesToTheQuitZoneAtEveryDpi) {
  // Label4 (the logo) and Label6 (Quit) share 8400-10080 x 5070-5220 twips.
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const int left = TwipsToPixels(8400, dpi), top = TwipsToPixels(5070, dpi);
    const int right = TwipsToPixels(10080, dpi), bottom = TwipsToPixels(5220, dpi);
    EXPECT_EQ(ZoneAt(left, top, dpi), "Label6");
    EXPECT_EQ(ZoneAt(right - 1, bottom - 1, dpi), "Label6");
    EXPECT_EQ(ZoneAt(left - 1, top, dpi), "Label4");
    EXPECT_EQ(ZoneAt(right, top, dpi), "Label6");
  }
}

TEST(Geometry, LeftAndTopEdgesBelongToAZoneRightAndBottomDoNot) {
  // Label2 spans 3510-7395 x 45-2340 twips: 351-740 x 5-234 pixels at 144 dpi.
  EXPECT_EQ(ZoneAt(351, 5, 144), "Label2");
  EXPECT_EQ(ZoneAt(739, 233, 144), "Label2");
  EXPECT_EQ(ZoneAt(350, 100, 144), "none");
  EXPECT_EQ(ZoneAt(740, 100, 144), "none");
  EXPECT_EQ(ZoneAt(500, 234, 144), "none");
  EXPECT_EQ(ZoneAt(500, 4, 144), "none");
  EXPECT_EQ(ZoneAt(-1, -1, 96), "none");
}

TEST(Geometry, AboutLabelsTakeTheMouseInStackingOrder) {
  const auto at = [](int x, int y) {
    const AboutControl* control = AboutControlAt(x, y, 96);
    return control ? std::string(control->name) : "none";
  };
  EXPECT_EQ(at(50, 387), "Label8");  // its corner lies in front of the mail link
  EXPECT_EQ(AboutControlAt(50, 387, 96)->click, nullptr);
  EXPECT_EQ(at(50, 395), "Label7");
  EXPECT_EQ(at(50, 337), "Label6");  // in front of Label1
  EXPECT_EQ(at(400, 300), "none");   // the oval takes no mouse
  EXPECT_EQ(at(300, 100), "none");   // the logo is a window of its own
}

TEST(Geometry, WindowsAreCentredInTheWorkAreaAndKeptReachable) {
  EXPECT_EQ(CentredIn({0, 0, 1024, 738}, {725, 544}), (PixelRect{149, 97, 874, 641}));
  EXPECT_EQ(CentredIn({1920, 40, 3840, 1080}, {1088, 816}), (PixelRect{2336, 152, 3424, 968}));
  EXPECT_EQ(CentredIn({-1280, 0, 0, 680}, {1450, 1088}), (PixelRect{-1280, 0, 170, 1088}));
}

TEST(Geometry, TheHandCursorIsNeverStretched) {
  const std::pair<int, int> sizes[] = {{96, 32},  {120, 32}, {144, 48},
                                       {168, 48}, {192, 64}, {288, 64}};
  for (const auto& [dpi, size] : sizes) EXPECT_EQ(CursorSizeFor(dpi), size) << dpi;
}

// Pixels (x * 37 + y * 91 + channel * 53) % 256, top-down or bottom-up.
std::vector<std::uint8_t> Pattern(int width, int height) {
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 4; ++c) pixels.push_back((x * 37 + y * 91 + c * 53) % 256);
    }
  }
  return pixels;
}

std::vector<std::uint8_t> Resized(const std::vector<std::uint8_t>& source, int width, int height,
                                  int toWidth, int toHeight) {
  std::vector<std::uint8_t> target(static_cast<std::size_t>(toWidth) * toHeight * 4);
  Resample(ConstPixels::Packed(source.data(), width, height),
           Pixels::Packed(target.data(), toWidth, toHeight));
  return target;
}

TEST(Resample, GivesWhatPillowsBilinearFilterGives) {
  // Image.resize(..., BILINEAR) of the same pattern, computed with Pillow.
  EXPECT_EQ(Resized(Pattern(7, 3), 7, 3, 4, 2),
            (std::vector<std::uint8_t>{53, 106, 155, 166, 111, 164, 140, 129, 160, 163, 157,
                                       82, 146, 110, 95,  140, 159, 144, 108, 120, 97,  118,
                                       94, 128, 114, 117, 143, 164, 99,  148, 201, 101}));
  EXPECT_EQ(Resized(Pattern(3, 2), 3, 2, 5, 3),
            (std::vector<std::uint8_t>{0,   53,  106, 159, 15,  68,  121, 174, 37,  90,  143, 196,
                                       59,  112, 165, 218, 74,  127, 180, 233, 46,  99,  152, 205,
                                       61,  114, 167, 168, 83,  136, 189, 114, 105, 158, 134, 136,
                                       120, 173, 98,  151, 91,  144, 197, 250, 106, 159, 212, 162,
                                       128, 181, 234, 31,  150, 203, 103, 53,  165, 218, 15,  68}));
  const std::vector<std::uint8_t> same = Pattern(5, 4);
  EXPECT_EQ(Resized(same, 5, 4, 5, 4), same);
}

TEST(Resample, ReadsABottomUpPictureTopRowFirst) {
  const std::vector<std::uint8_t> topDown = Pattern(6, 4);
  constexpr std::ptrdiff_t kRow = 24;  // 6 pixels of 4 bytes
  std::vector<std::uint8_t> bottomUp;
  for (std::ptrdiff_t y = 3; y >= 0; --y) {
    bottomUp.insert(bottomUp.end(), topDown.begin() + y * kRow, topDown.begin() + (y + 1) * kRow);
  }
  std::vector<std::uint8_t> target(24);  // 3 x 2 pixels
  Resample({bottomUp.data() + 3 * kRow, 6, 4, -kRow}, Pixels::Packed(target.data(), 3, 2));
  EXPECT_EQ(target, Resized(topDown, 6, 4, 3, 2));
}

TEST(ClickTracker, APressAndAReleaseOnOneLabelIsAClick) {
  const int label = 1;
  const int other = 2;
  ClickTracker<int> clicks;
  clicks.Press(&label, false);
  EXPECT_EQ(clicks.Release(&label), &label);
  clicks.Press(&label, false);
  EXPECT_EQ(clicks.Release(&other), nullptr);  // let go elsewhere
  clicks.Press(&label, false);
  clicks.Cancel();
  EXPECT_EQ(clicks.Release(&label), nullptr);
  EXPECT_EQ(clicks.Release(&label), nullptr);  // a release alone
}

TEST(ClickTracker, TheSecondPressOfADoubleClickCountsOnlyAfterABox) {
  const int label = 1;
  ClickTracker<int> clicks;
  clicks.Press(&label, false);
  EXPECT_EQ(clicks.Release(&label), &label);
  clicks.Press(&label, true);
  EXPECT_EQ(clicks.Release(&label), nullptr);
  clicks.OutOfUse();  // the command put up a message box, answered since
  clicks.Press(&label, true);
  EXPECT_EQ(clicks.Release(&label), &label);
  clicks.Press(&label, true);  // only once
  EXPECT_EQ(clicks.Release(&label), nullptr);
}

// A command that, like a shell call dispatching messages, receives a second
// click while it is still running.
CommandGate* gateUnderTest = nullptr;
int nestedRuns = 0;
void Nested(ShellServices& /*shell*/) { ++nestedRuns; }
void ReEnters(ShellServices& shell) { EXPECT_FALSE(gateUnderTest->Run(Nested, shell)); }

TEST(CommandGate, DropsAClickThatArrivesWhileACommandRuns) {
  CommandGate gate;
  gateUnderTest = &gate;
  nestedRuns = 0;
  testing::RecordingShell shell;
  EXPECT_TRUE(gate.Run(ReEnters, shell));
  EXPECT_EQ(nestedRuns, 0);
  EXPECT_TRUE(gate.Run(Nested, shell));  // once it has finished, the next one runs
  EXPECT_EQ(nestedRuns, 1);
  gateUnderTest = nullptr;
}

}  // namespace
}  // namespace startboard
