// The commands' rules, against a shell that records what they ask of it.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <tuple>

#include "RecordingShell.h"
#include "launch/Actions.h"
#include "launch/DiscPaths.h"

namespace startboard {
namespace {

using testing::Calls;
using testing::RecordingShell;

std::string Box(std::string_view text, Buttons buttons, std::string_view title = brand::kTitle) {
  return "Message|" + std::string(text) + "|" + std::to_string(static_cast<int>(buttons)) + "|" +
         std::string(title);
}

TEST(InstallRoot, IsTheDirectoryWithExactlyOneBackslash) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(E:\)", R"(E:\)"},  // a drive root already ends in one
      {R"(C:\Cdcopy)", R"(C:\Cdcopy\)"},
      {R"(\\server\share\Norvane)", R"(\\server\share\Norvane\)"},
      {R"(C:\Cdcopy/)", R"(C:\Cdcopy/\)"},  // only a backslash counts
  };
  for (const auto& [directory, root] : cases) {
    RecordingShell shell;
    shell.directory = directory;
    EXPECT_EQ(InstallRoot(shell), root);
  }
}

// A brand's actions, as its generated table holds them.
constexpr Action kManual{
    ActionKind::Open, "manual\\manual.pdf", "No reader for the manual.", {}, {}, {}, {}};
constexpr Action kReader{
    ActionKind::Install, "reader\\setup.exe", {}, {}, {}, "Install it?", "Reader"};
constexpr Action kProduct{ActionKind::Install, "standalone\\setup.exe", {},       {},
                          "disclaim.txt",      "Did you accept it?",    "Product"};

TEST(ShowDocument, OpensFromTheDesktopInCAndExplainsOnlyAFailure) {
  const std::string manual = R"(Execute|desktop|Open|C:\Cdcopy\manual\manual.pdf||C:\|1)";
  // No program for its type gets the document's own text; others the table's.
  for (const auto& [result, box] : {std::pair<LaunchResult, std::string>{33, ""},
                                    {32, "DLL not found"},
                                    {31, "No reader for the manual."}}) {
    RecordingShell shell;
    shell.directory = "C:\\Cdcopy";
    shell.starts = {result};
    // then = "quit" closes the menu only after a start.
    EXPECT_EQ(RunAction(shell, kManual), box.empty()) << result;
    const Calls calls = box.empty() ? Calls{manual} : Calls{manual, Box(box, Buttons::Ok)};
    EXPECT_EQ(shell.calls, calls) << result;
  }
}

TEST(LaunchFailureMessage, CodesWithoutTheirOwnTextAreUnknown) {
  for (const LaunchResult code : {0, 1, 4, 6, 9, 25, -1, INT_MIN}) {
    EXPECT_EQ(LaunchFailureMessage(brand::kMessages, code, "no program"), "Unknown error") << code;
  }
}

TEST(GetShortName, AsksAgainWhenTheBufferIsTooSmallAndNeverReturnsBlanks) {
  const std::string ask = "ShortPathName|E:\\disclaim.txt|";
  const std::string longForm = "C:\\" + std::string(300, 'A');
  const std::tuple<decltype(RecordingShell::shortNames), std::string, Calls> cases[] = {
      {{{14, "E:\\DISCLA~1.TXT"}}, "E:\\DISCLA~1.TXT", {ask + "255"}},
      {{{0, ""}}, "", {ask + "255"}},
      {{{304, ""}, {303, longForm}}, longForm, {ask + "255", ask + "304"}},
      {{{304, ""}, {304, ""}}, "", {ask + "255", ask + "304"}},  // still too small
  };
  for (const auto& [answers, shortName, calls] : cases) {
    RecordingShell shell;
    shell.shortNames = answers;
    EXPECT_EQ(GetShortName(shell, "E:\\disclaim.txt"), shortName);
    EXPECT_EQ(shell.calls, calls);
  }
}

TEST(Install, OnlyYesStartsTheInstallerWhoseFailureIsSilent) {
  const std::string question = Box("Install it?", Buttons::YesNo, "Reader");
  const std::string setup = R"(Execute|desktop|Open|E:\reader\setup.exe||C:\|1)";
  for (const int answer : {6, 7, 2, 1, 0}) {  // Yes, No, or the box closed some other way
    RecordingShell shell;
    shell.answers = {answer};
    shell.starts = {answer == 6 ? 42 : 2};
    EXPECT_EQ(RunAction(shell, kReader), answer == 6) << answer;  // started only on Yes
    EXPECT_EQ(shell.calls, (answer == 6 ? Calls{question, setup} : Calls{question})) << answer;
  }
}

TEST(Install, OpensTheDisclaimerThenAsksThenInstallsOnYes) {
  const std::string ask = "ShortPathName|E:\\disclaim.txt|255";
  const std::string open = "Execute|desktop|open|E:\\DISCLA~1.TXT|||1";
  const std::string question = Box("Did you accept it?", Buttons::YesNo, "Product");
  const std::string setup = R"(Execute|desktop|Open|E:\standalone\setup.exe||C:\|1)";
  // The short name's length, the button pressed, the calls.
  const std::tuple<std::uint32_t, int, Calls> cases[] = {
      {15, 6, {ask, open, question, setup}},
      {15, 7, {ask, open, question}},
      // No disclaimer on the disc: the shell gets "" and the question still comes.
      {0, 6, {ask, "Execute|desktop|open||||1", question, setup}},
  };
  for (const auto& [length, answer, calls] : cases) {
    RecordingShell shell;
    shell.shortNames = {{length, "E:\\DISCLA~1.TXT"}};
    shell.answers = {answer};
    shell.starts = {2, 2};  // failures change nothing, but nothing started
    EXPECT_FALSE(Install(shell, kProduct));
    EXPECT_EQ(shell.calls, calls);
  }
}

TEST(OpenWebLink, StartsTheProbePagesProgramWithTheUrlFromTheMainWindow) {
  RecordingShell shell;
  EXPECT_TRUE(
      RunAction(shell, {ActionKind::Web, {}, {}, "mailto:help@nv98.example.com", {}, {}, {}}));
  // The program's path ends at the NUL; the blanks after it are not part of it.
  EXPECT_EQ(shell.calls, (Calls{"FindExecutable|E:\\temphtm.htm|<null>|260",
                                "Execute|main|open|C:\\Program Files\\Web Browser\\browser.exe|"
                                "mailto:help@nv98.example.com|<null>|1"}));
}

TEST(OpenWebLink, SaysWhichStepFailed) {
  const std::string find = "FindExecutable|E:\\temphtm.htm|<null>|260";
  for (const LaunchResult lookup : {2, 31, 32, 0}) {
    RecordingShell shell;
    shell.lookup = lookup;
    EXPECT_FALSE(OpenWebLink(shell, "http://nv98.example.net"));
    EXPECT_EQ(shell.calls, (Calls{find, Box(brand::kMessages.noBrowser, Buttons::Ok)})) << lookup;
  }
  RecordingShell shell;
  shell.starts = {32};
  EXPECT_FALSE(OpenWebLink(shell, "http://nv98.example.net"));
  EXPECT_EQ(shell.calls.at(2), Box(brand::kMessages.pageFailed, Buttons::Ok));
}

// Another language's boxes: its caption, its failure texts.
constexpr Messages kGerman{.failures = {{{2, "Datei nicht gefunden"}}},
                           .unknownError = "Unbekannter Fehler",
                           .noBrowser = "Kein Browser",
                           .pageFailed = "Seite nicht geöffnet"};
constexpr Language kDeutsch{.id = 0x07, .title = "Einrichtung", .messages = &kGerman};

TEST(Language, BoxesSpeakTheShellsLanguage) {
  RecordingShell shell(kDeutsch);
  shell.starts = {2, 9};
  RunAction(shell, kManual);
  RunAction(shell, kManual);
  shell.lookup = 2;
  OpenWebLink(shell, "http://nv98.example.net");
  EXPECT_EQ(shell.calls.at(1), Box("Datei nicht gefunden", Buttons::Ok, "Einrichtung"));
  EXPECT_EQ(shell.calls.at(3), Box("Unbekannter Fehler", Buttons::Ok, "Einrichtung"));
  EXPECT_EQ(shell.calls.at(5), Box("Kein Browser", Buttons::Ok, "Einrichtung"));
  // A question keeps its own caption.
  shell.calls.clear();
  Install(shell, kReader);
  EXPECT_EQ(shell.calls.at(0), Box("Install it?", Buttons::YesNo, "Reader"));
}

TEST(LanguageFor, TheSameCountryThenTheLanguageThenTheBrandsOwn) {
  constexpr std::array<Language, 5> languages{{{.id = 0x09, .title = "en"},
                                               {.id = 0x0416, .title = "pt-BR"},
                                               {.id = 0x0C07, .title = "de-AT"},
                                               {.id = 0x07, .title = "de"},
                                               {.id = 0x0816, .title = "pt-PT"}}};
  const std::pair<std::uint16_t, std::string_view> cases[] = {
      {0x0409, "en"},     // en-US: English for every country
      {0x0416, "pt-BR"},  // exact
      {0x0816, "pt-PT"},  // exact, though another Portuguese comes first
      {0x0C07, "de-AT"},  // exact beats the language's own
      {0x0407, "de"},     // de-DE: the language for every country beats Austria's
      {0x1007, "de"},     // de-LU
      {0x0C0A, "en"},     // Spanish: none, the brand's own
      {0x0000, "en"},
  };
  for (const auto& [user, title] : cases) {
    EXPECT_EQ(LanguageFor(languages, user).title, title) << std::hex << user;
  }
  constexpr std::array<Language, 2> portuguese{{{.id = 0x09}, {.id = 0x0416, .title = "pt-BR"}}};
  EXPECT_EQ(LanguageFor(portuguese, 0x0816).title, "pt-BR");  // pt-PT: the language's only country
}

}  // namespace
}  // namespace startboard
