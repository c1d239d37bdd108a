// Conditions, pages, and the actions that came with them, against a shell
// that records what they ask of it.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "RecordingShell.h"
#include "launch/Actions.h"
#include "launch/Pages.h"
#include "ui/Targets.h"

namespace startboard {
namespace {

using testing::Calls;
using testing::RecordingShell;

constexpr Condition kWin10{.kind = ConditionKind::Windows, .atLeast = {10, 0, 0}};
constexpr Condition kWin11{.kind = ConditionKind::Windows, .atLeast = {10, 0, 22000}};
constexpr Condition kOnX64{.kind = ConditionKind::Machine, .machines = kX64};
constexpr Condition kNot86{.kind = ConditionKind::Machine, .machines = kX64 | kArm64};
constexpr Condition kSetup64{.kind = ConditionKind::DiscFile, .path = "x64\\setup.exe"};
constexpr Condition kAtlas{.kind = ConditionKind::RegistryKey, .path = "SOFTWARE\\Atlas"};
constexpr Condition kAtlas32{
    .kind = ConditionKind::RegistryKey, .path = "SOFTWARE\\Atlas", .view32 = true};
constexpr Condition kRuntime{.kind = ConditionKind::RegistryValue,
                             .path = "Software\\Runtime",
                             .value = "Version",
                             .hive = Hive::CurrentUser};

TEST(Conditions, EachTestAsksTheMachineAndAllMustHold) {
  RecordingShell shell;  // Windows 10 build 19045 on x64, the disc at E:
  shell.paths = {"E:\\x64\\setup.exe"};
  shell.registry = {"HKLM|32|SOFTWARE\\Atlas", "HKCU|64|Software\\Runtime|Version"};
  const std::pair<std::vector<Condition>, bool> cases[] = {
      {{}, true},
      {{kWin10}, true},
      {{kWin11}, false},  // the build counts
      {{kOnX64}, true},
      {{kNot86}, true},
      {{kSetup64}, true},
      {{{.kind = ConditionKind::DiscFile, .path = "arm64\\setup.exe"}}, false},
      {{kAtlas}, false},  // only in the 32-bit view
      {{kAtlas32}, true},
      {{kRuntime}, true},
      {{{.kind = ConditionKind::RegistryKey,
         .path = "Software\\Runtime",
         .hive = Hive::CurrentUser}},
       false},
      {{kWin10, kOnX64, kAtlas32}, true},
      {{kWin10, kWin11}, false},
  };
  for (const auto& [tests, holds] : cases) {
    EXPECT_EQ(AllHold(shell, tests), holds) << tests.size();
  }
  shell.machine = kArm64;
  EXPECT_FALSE(AllHold(shell, std::array{kOnX64}));
  EXPECT_TRUE(AllHold(shell, std::array{kNot86}));
  shell.version = {10, 0, 22631};
  EXPECT_TRUE(AllHold(shell, std::array{kWin11}));
  shell.version = {11, 0, 0};
  EXPECT_TRUE(AllHold(shell, std::array{kWin11}));
  shell.version = {6, 3, 9600};  // 8.1: a later minor and build, an earlier major
  EXPECT_FALSE(AllHold(shell, std::array{kWin10}));
}

TEST(Conditions, UnlessTakesAwayWhereAllItsTestsHold) {
  RecordingShell shell;
  const std::array x64{kOnX64};
  const std::array x64AndAtlas{kOnX64, kAtlas};
  EXPECT_TRUE(Applies(shell, {}, {}));
  EXPECT_FALSE(Applies(shell, {}, x64));
  EXPECT_TRUE(Applies(shell, {}, x64AndAtlas));  // Atlas is not there
  EXPECT_FALSE(Applies(shell, std::array{kAtlas}, {}));
}

// A menu, Atlas's page (first where Atlas is installed) and a tools page.
constexpr std::array kAtlasTest{kAtlas};
constexpr std::array<HotZone, 3> kMenuZones{{
    {.name = "start", .when = kAtlasTest},
    {.name = "get", .unless = kAtlasTest},
    {.name = "install"},
}};
constexpr std::array<Page, 3> kPages{{
    {.name = "menu", .zones = kMenuZones},
    {.name = "tools"},
    {.name = "atlas", .when = kAtlasTest},
}};

TEST(PageNavigator, OpensTheFirstPageWhoseConditionHoldsAndGoesBackToWhereItCameFrom) {
  RecordingShell shell;
  PageNavigator pages(kPages, kPages[0]);
  pages.Start(shell);
  EXPECT_EQ(pages.ShownIndex(), 0U);
  EXPECT_FALSE(pages.CanGoBack());
  EXPECT_FALSE(pages.Back(shell));
  EXPECT_FALSE(pages.Open(shell, 0));  // already shown
  EXPECT_FALSE(pages.Open(shell, 3));
  EXPECT_TRUE(pages.Open(shell, 1));
  EXPECT_TRUE(pages.Open(shell, 2));
  EXPECT_EQ(pages.Shown().name, "atlas");
  EXPECT_TRUE(pages.Back(shell));
  EXPECT_EQ(pages.Shown().name, "tools");
  EXPECT_TRUE(pages.Back(shell));
  EXPECT_EQ(pages.ShownIndex(), 0U);
  EXPECT_FALSE(pages.CanGoBack());  // Escape quits here

  shell.registry = {"HKLM|64|SOFTWARE\\Atlas"};
  pages.Start(shell);
  EXPECT_EQ(pages.Shown().name, "atlas");
  EXPECT_FALSE(pages.CanGoBack());  // the first page, though not the menu
}

TEST(PageNavigator, AZoneComesAndGoesWhenItsConditionIsAskedAgain) {
  RecordingShell shell;
  PageNavigator pages(kPages, kPages[0]);
  pages.Start(shell);
  const auto present = [&pages] {
    return std::array{pages.Present(0), pages.Present(1), pages.Present(2), pages.Present(3)};
  };
  EXPECT_EQ(present(), (std::array{false, true, true, false}));
  EXPECT_FALSE(pages.Refresh(shell));
  shell.registry = {"HKLM|64|SOFTWARE\\Atlas"};  // installed meanwhile
  shell.calls.clear();
  EXPECT_TRUE(pages.Refresh(shell));
  EXPECT_EQ(present(), (std::array{true, false, true, false}));
  EXPECT_EQ(shell.calls, Calls(2, "Registry|HKLM|64|SOFTWARE\\Atlas"));  // asked afresh, each zone
  // The tools page has no zones; the menu alone stands for a brand's one page.
  EXPECT_TRUE(pages.Open(shell, 1));
  EXPECT_FALSE(pages.Present(0));
  PageNavigator single({}, kPages[0]);
  single.Start(shell);
  EXPECT_EQ(single.Shown().zones.size(), 3U);
  EXPECT_FALSE(single.Open(shell, 1));
}

// A menu whose first zone applies only where Atlas is installed, a page it
// opens with another such zone, and a page with no zones at all.
constexpr std::array<HotZone, 4> kFocusMenu{{{.name = "start", .when = kAtlasTest},
                                             {.name = "get", .unless = kAtlasTest},
                                             {.name = "more"},
                                             {.name = "tools"}}};  // the keys never visit it
constexpr std::array<HotZone, 3> kFocusPage{
    {{.name = "update", .when = kAtlasTest}, {.name = "docs"}, {.name = "back"}}};
constexpr std::array kMenuOrder{0, 1, 2};
constexpr std::array kPageOrder{0, 2, 1};
constexpr std::array<Page, 3> kFocusPages{
    {{.name = "menu", .zones = kFocusMenu, .focusOrder = kMenuOrder},
     {.name = "more", .zones = kFocusPage, .focusOrder = kPageOrder},
     {.name = "empty"}}};

TEST(PageNavigator, TheFocusLandsOnAPagesFirstZoneAndReturnsToTheZoneThatOpenedIt) {
  RecordingShell shell;
  PageNavigator pages(kFocusPages, kFocusPages[0]);
  pages.Start(shell);
  using Zone = std::optional<std::size_t>;
  // "start" is absent, "tools" present but not in the focus order.
  EXPECT_EQ((std::array{pages.FocusZone(std::nullopt), pages.FocusZone(2), pages.FocusZone(0),
                        pages.FocusZone(3), pages.FocusZone(9)}),
            (std::array<Zone, 5>{1, 2, 1, 1, 1}));

  ASSERT_TRUE(pages.Open(shell, 1, 2));
  EXPECT_EQ(pages.CameFrom(), std::nullopt);
  EXPECT_EQ(pages.FocusZone(pages.CameFrom()), Zone(2));  // the page's order: "update" is absent
  ASSERT_TRUE(pages.Open(shell, 2, 1));
  EXPECT_EQ(pages.FocusZone(std::nullopt), std::nullopt);  // no zone to focus
  ASSERT_TRUE(pages.Back(shell));
  EXPECT_EQ(pages.CameFrom(), Zone(1));
  EXPECT_EQ(pages.FocusZone(pages.CameFrom()), Zone(1));  // "docs" opened the empty page
  ASSERT_TRUE(pages.Back(shell));
  EXPECT_EQ(pages.FocusZone(pages.CameFrom()), Zone(2));  // "more" opened the page

  // Opened by a zone that went while the page showed: the first instead.
  shell.registry = {"HKLM|64|SOFTWARE\\Atlas"};
  pages.Refresh(shell);
  EXPECT_EQ(pages.FocusZone(std::nullopt), Zone(0));
  ASSERT_TRUE(pages.Open(shell, 1, 0));
  EXPECT_EQ(pages.CameFrom(), std::nullopt);          // no longer the zone Back came from
  EXPECT_EQ(pages.FocusZone(std::nullopt), Zone(0));  // "update" is present now
  shell.registry.clear();
  ASSERT_TRUE(pages.Back(shell));
  EXPECT_EQ(pages.CameFrom(), Zone(0));
  EXPECT_EQ(pages.FocusZone(pages.CameFrom()), Zone(1));
  pages.Start(shell);
  EXPECT_EQ(pages.CameFrom(), std::nullopt);
}

TEST(ZoneTargets, AnAbsentZoneIsNoTargetAndHidesNothingBehindIt) {
  constexpr TwipRect kAll{0, 0, 1500, 1500};
  constexpr std::array<HotZone, 3> kStacked{{{.name = "start", .twips = kAll, .tooltip = "Start"},
                                             {.name = "get", .twips = kAll, .tooltip = "Get"},
                                             {.name = "tools", .twips = {0, 0, 15, 15}}}};
  // Two zones share a rectangle with opposite conditions: "start" is absent.
  const Targets targets = ZoneTargets(kStacked, std::array{2, 0, 1}, {false, true, true});
  ASSERT_EQ(targets.frontToBack.size(), 2U);
  EXPECT_EQ(targets.frontToBack[*targets.At(50, 50, 96)].name, "Get");
  EXPECT_EQ(targets.keyRing, (std::vector<std::size_t>{1, 0}));
  EXPECT_EQ(targets.listed, (std::vector<std::size_t>{0, 1}));
  // Each target knows its zone: the focus finds a zone's target by it.
  using Target = std::optional<std::size_t>;
  EXPECT_EQ((std::array{targets.Of(0), targets.Of(1), targets.Of(2), targets.Of(std::nullopt)}),
            (std::array{Target(), Target(0), Target(1), Target()}));
}

TEST(Install, PassesItsArgumentsAndAsksForRightsWhenToldTo) {
  const std::string root = R"(|E:\atlas\setup.exe|)";
  const std::tuple<bool, LaunchResult, std::string, bool> cases[] = {
      {false, 42, "Execute|desktop|Open" + root + R"(/lang=de /quiet|C:\|1)", true},
      {true, 42, "Execute|desktop|runas" + root + R"(/lang=de /quiet|C:\|1)", true},
      {true, kDeclined, "Execute|desktop|runas" + root + R"(/lang=de /quiet|C:\|1)", false},
  };
  for (const auto& [elevate, result, call, started] : cases) {
    RecordingShell shell;
    shell.starts = {result};
    const Action action{.kind = ActionKind::Install,
                        .path = "atlas\\setup.exe",
                        .arguments = "/lang=de /quiet",
                        .elevate = elevate};
    EXPECT_EQ(RunAction(shell, action), started);
    EXPECT_EQ(shell.calls, Calls{call});  // a declined prompt shows no box
  }
}

TEST(Explore, OpensTheDiscFolderAndExplainsAFailure) {
  const std::string call = R"(Execute|desktop|explore|E:\extras|<null>|<null>|1)";
  for (const LaunchResult result : {42, 3}) {
    RecordingShell shell;
    shell.starts = {result};
    EXPECT_EQ(RunAction(shell, {.kind = ActionKind::Explore, .path = "extras"}), result == 42);
    const Calls calls = result == 42
                            ? Calls{call}
                            : Calls{call, "Message|Path not found|0|" + std::string(brand::kTitle)};
    EXPECT_EQ(shell.calls, calls);
  }
}

}  // namespace
}  // namespace startboard
