// The commands' rules, against a shell that records what they ask of it.
#include <gtest/gtest.h>

#include <climits>

#include "RecordingShell.h"
#include "launch/Commands.h"
#include "launch/Launch.h"
#include "weblinks/WebLinks.h"

namespace startboard {
namespace {

using testing::Calls;
using testing::RecordingShell;

std::string Box(std::string_view text, Buttons buttons, std::string_view title = ApplicationTitle) {
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

TEST(ShowDocument, OpensFromTheDesktopInCAndExplainsOnlyAFailure) {
  const std::string manual = R"(Execute|desktop|Open|C:\Cdcopy\manual\manual.pdf||C:\|1)";
  const std::pair<LaunchResult, Calls> cases[] = {
      {33, {manual}},
      {32, {manual, Box("DLL not found", Buttons::Ok)}},
      {-1, {manual, Box("Unknown error", Buttons::Ok)}},
  };
  for (const auto& [result, calls] : cases) {
    RecordingShell shell;
    shell.directory = "C:\\Cdcopy";
    shell.starts = {result};
    ViewManual(shell);
    EXPECT_EQ(shell.calls, calls) << result;
  }
}

TEST(LaunchFailureMessage, CodesWithoutTheirOwnTextAreUnknown) {
  for (const LaunchResult code : {0, 1, 4, 6, 9, 25, INT_MIN}) {
    EXPECT_EQ(LaunchFailureMessage(code), "Unknown error") << code;
  }
}

TEST(GetShortName, AsksAgainWhenTheBufferIsTooSmallAndNeverReturnsBlanks) {
  const std::string longForm = "C:\\" + std::string(300, 'A');
  const struct {
    std::deque<std::pair<std::uint32_t, std::string>> answers;
    std::string shortName;
    Calls calls;
  } cases[] = {
      {{{14, "E:\\DISCLA~1.TXT"}}, "E:\\DISCLA~1.TXT", {"ShortPathName|E:\\disclaim.txt|255"}},
      {{{0, ""}}, "", {"ShortPathName|E:\\disclaim.txt|255"}},
      {{{304, ""}, {303, longForm}},
       longForm,
       {"ShortPathName|E:\\disclaim.txt|255", "ShortPathName|E:\\disclaim.txt|304"}},
      {{{304, ""}, {400, ""}},
       "",
       {"ShortPathName|E:\\disclaim.txt|255", "ShortPathName|E:\\disclaim.txt|304"}},
  };
  for (const auto& c : cases) {
    RecordingShell shell;
    shell.shortNames = c.answers;
    EXPECT_EQ(GetShortName(shell, "E:\\disclaim.txt"), c.shortName);
    EXPECT_EQ(shell.calls, c.calls);
  }
}

TEST(InstallReader, OnlyYesStartsTheInstallerWhoseFailureIsSilent) {
  const std::string question = Box(kReaderPrompt, Buttons::YesNo, kReaderTitle);
  for (const int answer : {7, 2, 1, 0}) {  // No, or the box closed some other way
    RecordingShell shell;
    shell.answers = {answer};
    InstallReader(shell);
    EXPECT_EQ(shell.calls, Calls{question}) << answer;
  }
  RecordingShell shell;
  shell.answers = {6};
  shell.starts = {2};
  InstallReader(shell);
  EXPECT_EQ(shell.calls, (Calls{question, "Execute|desktop|Open|E:\\reader\\setup.exe||C:\\|1"}));
}

TEST(InstallProduct, OpensTheDisclaimerThenAsksThenInstallsOnYes) {
  const std::string question = Box(kProductPrompt, Buttons::YesNo, kProductTitle);
  const std::string setup = R"(Execute|desktop|Open|E:\standalone\setup.exe||C:\|1)";
  const struct {
    std::pair<std::uint32_t, std::string> shortName;
    int answer;
    Calls calls;
  } cases[] = {
      {{15, "E:\\DISCLA~1.TXT"},
       6,
       {"ShortPathName|E:\\disclaim.txt|255", "Execute|desktop|open|E:\\DISCLA~1.TXT|||1", question,
        setup}},
      {{15, "E:\\DISCLA~1.TXT"},
       7,
       {"ShortPathName|E:\\disclaim.txt|255", "Execute|desktop|open|E:\\DISCLA~1.TXT|||1",
        question}},
      // No disclaimer on the disc: the shell gets "" and the question still comes.
      {{0, ""},
       6,
       {"ShortPathName|E:\\disclaim.txt|255", "Execute|desktop|open||||1", question, setup}},
  };
  for (const auto& c : cases) {
    RecordingShell shell;
    shell.shortNames = {c.shortName};
    shell.answers = {c.answer};
    shell.starts = {2, 2};  // failures change nothing
    InstallProduct(shell);
    EXPECT_EQ(shell.calls, c.calls);
  }
}

TEST(QuitLauncher, EndsTheProgramAndDoesNothingElse) {
  RecordingShell shell;
  QuitLauncher(shell);
  EXPECT_EQ(shell.calls, Calls{"EndProgram"});
}

TEST(OpenWebLink, StartsTheProbePagesProgramWithTheUrlFromTheMainWindow) {
  RecordingShell shell;
  shell.directory = "C:\\Cdcopy";
  shell.browser = R"(C:\Program Files\Web Browser\browser.exe)";
  OpenWebLink(shell, "mailto:help@nv98.example.com");
  // The program's path ends at the NUL; the blanks after it are not part of it.
  EXPECT_EQ(shell.calls, (Calls{"FindExecutable|C:\\Cdcopy\\temphtm.htm|<null>|260",
                                "Execute|main|open|C:\\Program Files\\Web Browser\\browser.exe|"
                                "mailto:help@nv98.example.com|<null>|1"}));
}

TEST(OpenWebLink, SaysWhichStepFailed) {
  const std::string find = "FindExecutable|E:\\temphtm.htm|<null>|260";
  for (const LaunchResult lookup : {2, 31, 32, 0}) {
    RecordingShell shell;
    shell.lookup = lookup;
    OpenWebLink(shell, "http://nv98.example.net");
    EXPECT_EQ(shell.calls, (Calls{find, Box(kNoBrowserMessage, Buttons::Ok)})) << lookup;
  }
  RecordingShell shell;
  shell.starts = {32};
  OpenWebLink(shell, "http://nv98.example.net");
  EXPECT_EQ(shell.calls.at(2), Box(kPageFailedMessage, Buttons::Ok));
}

}  // namespace
}  // namespace startboard
