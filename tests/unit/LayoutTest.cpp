#include <gtest/gtest.h>

#include "RecordingShell.h"
#include "ui/AboutLayout.h"
#include "ui/MainLayout.h"

namespace startboard {
namespace {

using testing::RecordingShell;

std::string ZoneAt(int x, int y) {
  const HotZone* zone = HotZoneAt(x, y);
  return zone ? std::string(zone->name) : "none";
}

TEST(Twips, FifteenPerPixel) {
  EXPECT_EQ(TwipsToPixels(10875), 725);
  EXPECT_EQ(TwipsToPixels(8160), 544);
  EXPECT_EQ((TwipRect{3510, 45, 3885, 2295}.ToPixels()), (PixelRect{234, 3, 493, 156}));
  EXPECT_EQ(kMainClientWidth, 725);
  EXPECT_EQ(kMainClientHeight, 544);
  EXPECT_EQ(kAboutClientWidth, 457);
  EXPECT_EQ(kAboutClientHeight, 415);
}

TEST(HotZones, FrontToBackWithTheirTooltips) {
  const char* expected[][2] = {
      {"Label7", "About/Install the standalone package"},
      {"Label6", "Quit the Startboard"},
      {"Label5", "Install Adobe Acrobat Reader 3.01"},
      {"Label4", "Find out about Norvane 98"},
      {"Label2", "View the User Manual"},
  };
  ASSERT_EQ(kHotZones.size(), std::size(expected));
  for (std::size_t i = 0; i < kHotZones.size(); ++i) {
    EXPECT_EQ(kHotZones[i].name, expected[i][0]);
    EXPECT_EQ(kHotZones[i].tooltip, expected[i][1]);
  }
}

TEST(HotZones, PixelRectangles) {
  const std::pair<const char*, PixelRect> expected[] = {
      {"Label2", {234, 3, 493, 156}},   {"Label4", {62, 176, 672, 348}},
      {"Label5", {4, 352, 153, 541}},   {"Label7", {183, 353, 524, 541}},
      {"Label6", {560, 338, 722, 541}},
  };
  for (const auto& [name, rect] : expected) {
    const HotZone* zone = HotZoneAt(rect.left, rect.top);
    ASSERT_NE(zone, nullptr) << name;
    EXPECT_EQ(zone->twips.ToPixels(), rect) << name;
  }
}

TEST(HotZones, CentresAndEdges) {
  EXPECT_EQ(ZoneAt(363, 79), "Label2");
  EXPECT_EQ(ZoneAt(367, 262), "Label4");
  EXPECT_EQ(ZoneAt(78, 446), "Label5");
  EXPECT_EQ(ZoneAt(353, 447), "Label7");
  EXPECT_EQ(ZoneAt(641, 440), "Label6");
  // Left and top edges belong to the zone, right and bottom edges do not.
  EXPECT_EQ(ZoneAt(234, 3), "Label2");
  EXPECT_EQ(ZoneAt(492, 155), "Label2");
  EXPECT_EQ(ZoneAt(493, 100), "none");
  EXPECT_EQ(ZoneAt(300, 156), "none");
  EXPECT_EQ(ZoneAt(721, 540), "Label6");
  EXPECT_EQ(ZoneAt(722, 540), "none");
  EXPECT_EQ(ZoneAt(700, 541), "none");
}

TEST(HotZones, OverlapsGoToTheFrontZone) {
  // The logo zone and the quit zone share 560-671 x 338-347.
  for (int x : {560, 600, 671}) {
    for (int y : {338, 347}) EXPECT_EQ(ZoneAt(x, y), "Label6") << x << "," << y;
  }
  EXPECT_EQ(ZoneAt(559, 338), "Label4");
  EXPECT_EQ(ZoneAt(600, 348), "Label6");
  EXPECT_EQ(ZoneAt(672, 340), "Label6");
  // The reader zone starts above the install zone's top; they do not touch.
  EXPECT_EQ(ZoneAt(152, 352), "Label5");
  EXPECT_EQ(ZoneAt(183, 353), "Label7");
}

TEST(HotZones, OutsideEveryZoneIsNothing) {
  for (auto [x, y] : {std::pair{0, 0},
                      {10, 10},
                      {724, 543},
                      {30, 200},
                      {700, 200},
                      {160, 400},
                      {540, 500},
                      {-1, 5},
                      {5000, 5000}}) {
    EXPECT_EQ(ZoneAt(x, y), "none") << x << "," << y;
  }
}

TEST(HotZones, EachRunsItsCommand) {
  const std::pair<int, int> centres[] = {{363, 79}, {367, 262}, {78, 446}, {353, 447}, {641, 440}};
  std::vector<std::string> firstCalls;
  for (auto [x, y] : centres) {
    RecordingShell shell;
    shell.answers = {7};
    HotZoneAt(x, y)->click(shell);
    firstCalls.push_back(shell.log.empty() ? "" : shell.log.front());
  }
  EXPECT_EQ(firstCalls, (std::vector<std::string>{
                            "ApplicationDirectory",                   // ViewManual
                            "ShowModal",                              // ShowAbout
                            "Message Install Adobe Acrobat Reader?",  // InstallReader
                            "ApplicationDirectory",                   // InstallProduct
                            "EndProgram",                             // QuitLauncher
                        }));
}

std::string AboutAt(int x, int y) {
  const AboutControl* control = AboutControlAt(x, y);
  return control ? std::string(control->name) : "none";
}

TEST(AboutControls, StackingOrderFrontToBack) {
  std::vector<std::string> names;
  names.reserve(kAboutControls.size());
  for (const AboutControl& control : kAboutControls) names.emplace_back(control.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Picture2", "Picture1", "Label8", "Label7", "Label6",
                                             "Label1", "Label5", "Label3", "Label2", "Shape1",
                                             "Label9", "Label4"}));
}

TEST(AboutControls, OnlyTheThreeLinksAreClickable) {
  std::vector<std::string> links;
  for (const AboutControl& control : kAboutControls) {
    if (control.click != nullptr) {
      links.emplace_back(control.name);
      EXPECT_FALSE(control.tooltip.empty()) << control.name;
    }
  }
  EXPECT_EQ(links, (std::vector<std::string>{"Label7", "Label6", "Label5"}));
}

TEST(AboutControls, HitTestInStackingOrder) {
  EXPECT_EQ(AboutAt(50, 345), "Label6");   // product site link
  EXPECT_EQ(AboutAt(50, 395), "Label7");   // support mail link
  EXPECT_EQ(AboutAt(300, 362), "Label5");  // copyright link, drawn over the oval
  EXPECT_EQ(AboutAt(50, 330), "Label1");   // plain text, no action
  EXPECT_EQ(AboutAt(50, 337), "Label6");   // Label6 lies in front of Label1
  EXPECT_EQ(AboutAt(50, 387), "Label8");   // Label8 lies in front of Label7
  EXPECT_EQ(AboutAt(400, 300), "none");    // the oval takes no mouse input
  EXPECT_EQ(AboutAt(300, 100), "none");    // the logo is a window of its own
  EXPECT_EQ(AboutControlAt(50, 330)->click, nullptr);
}

TEST(AboutControls, LinkTextsAndTooltips) {
  const AboutControl* product = AboutControlAt(50, 345);
  EXPECT_EQ(product->text, ProductSiteUrl);
  EXPECT_EQ(product->tooltip, "Visit the Norvane 98 Website");
  EXPECT_EQ(product->textColour, kLightCyan);
  EXPECT_TRUE(product->font.underline);
  const AboutControl* mail = AboutControlAt(50, 395);
  EXPECT_EQ("mailto:" + std::string(mail->text), SupportMailUrl);
  EXPECT_EQ(mail->tooltip, "Send email to Norvane 98 Technical Support");
  const AboutControl* maker = AboutControlAt(300, 362);
  EXPECT_EQ(maker->textColour, kBlue);
  EXPECT_TRUE(maker->font.bold && maker->font.underline);
  EXPECT_EQ(maker->background, kWhite);
}

TEST(AboutControls, FixedTextsAndTheLabelsCutOffAtTheRightEdge) {
  EXPECT_EQ(AboutControlAt(50, 330)->text, "Visit us on the web");
  EXPECT_EQ(AboutControlAt(50, 380)->text, "Free e-mail technical support");
  EXPECT_TRUE(AboutControlAt(20, 195)->text.starts_with("Pay-per-Incident Technical Support: "));
  EXPECT_TRUE(AboutControlAt(20, 240)->text.starts_with("Toll-Free Sales and Registration Info: "));
  std::vector<std::string> pastEdge;
  for (const AboutControl& control : kAboutControls) {
    const PixelRect rect = control.twips.ToPixels();
    if (control.kind == ControlKind::Label && rect.right > kAboutClientWidth) {
      pastEdge.emplace_back(control.name);
      EXPECT_EQ(rect.right - kAboutClientWidth, control.name == "Label2" ? 16 : 18);
    }
  }
  EXPECT_EQ(pastEdge, (std::vector<std::string>{"Label3", "Label2"}));
}

}  // namespace
}  // namespace startboard
