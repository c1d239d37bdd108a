#include <gtest/gtest.h>

#include "RecordingShell.h"
#include "launch/Commands.h"
#include "launch/Launch.h"

namespace startboard {
namespace {

using testing::ExecuteCall;
using testing::kDesktop;
using testing::MessageCall;
using testing::RecordingShell;

TEST(LaunchFailureMessage, EveryDocumentedCode) {
  const std::pair<LaunchResult, const char*> table[] = {
      {2, "File not found"},
      {3, "Path not found"},
      {5, "Access denied"},
      {8, "Out of memory"},
      {11, "Invalid EXE file or error in EXE image"},
      {26, "A sharing violation occurred"},
      {27, "Incomplete or invalid file association"},
      {28, "DDE Time out"},
      {29, "DDE transaction failed"},
      {30, "DDE busy"},
      {31, "You need to install the Adobe Acrobat Reader 3.0 to view the User Manual."},
      {32, "DLL not found"},
  };
  for (const auto& [code, text] : table) EXPECT_EQ(LaunchFailureMessage(code), text) << code;
}

TEST(LaunchFailureMessage, AnythingElseIsUnknown) {
  for (LaunchResult code : {0, 1, 4, 6, 7, 9, 10, 12, 25, -1, -2147483647 - 1}) {
    EXPECT_EQ(LaunchFailureMessage(code), "Unknown error") << code;
  }
}

TEST(OpenWithShell, OpensFromTheDesktopWithCDriveAsWorkingDirectory) {
  RecordingShell shell;
  shell.executeResults = {5};
  EXPECT_EQ(OpenWithShell(shell, "E:\\reader\\setup.exe"), 5);
  ASSERT_EQ(shell.executes.size(), 1u);
  EXPECT_EQ(shell.executes[0],
            (ExecuteCall{kDesktop, "Open", "E:\\reader\\setup.exe", "", "C:\\", 1}));
  EXPECT_TRUE(shell.messages.empty());
}

TEST(ShowDocument, OpensTheFullPathAndStaysSilentOnSuccess) {
  RecordingShell shell;
  shell.applicationDirectory = "E:\\";
  shell.executeResults = {33};
  ViewManual(shell);
  ASSERT_EQ(shell.executes.size(), 1u);
  EXPECT_EQ(shell.executes[0],
            (ExecuteCall{kDesktop, "Open", "E:\\manual\\manual.pdf", "", "C:\\", 1}));
  EXPECT_TRUE(shell.messages.empty());
}

TEST(ShowDocument, ExplainsAFailureInOneOkBoxWithTheApplicationTitle) {
  const std::pair<LaunchResult, const char*> cases[] = {
      {2, "File not found"},
      {32, "DLL not found"},
      {31, "You need to install the Adobe Acrobat Reader 3.0 to view the User Manual."},
      {0, "Unknown error"},
      {-5, "Unknown error"},
  };
  for (const auto& [code, text] : cases) {
    RecordingShell shell;
    shell.applicationDirectory = "C:\\Cdcopy";
    shell.executeResults = {code};
    ShowDocument(shell, CdLayout::Manual);
    EXPECT_EQ(shell.executes.at(0).file, "C:\\Cdcopy\\manual\\manual.pdf");
    ASSERT_EQ(shell.messages.size(), 1u) << code;
    EXPECT_EQ(shell.messages[0], (MessageCall{text, Buttons::Ok, "Norvane 98 Startboard"}));
    EXPECT_EQ(shell.log.back(), "Message Norvane 98 Startboard");
  }
}

TEST(GetShortName, ReturnsTheShortFormFromOneCall) {
  RecordingShell shell;
  shell.shortNames = {{14, "E:\\DISCLA~1.TXT"}};
  EXPECT_EQ(GetShortName(shell, "E:\\disclaim.txt"), "E:\\DISCLA~1.TXT");
  EXPECT_EQ(shell.shortNameBufferLengths, std::vector<std::uint32_t>{255});
}

TEST(GetShortName, FailureGivesTheEmptyString) {
  RecordingShell shell;
  shell.shortNames = {{0, ""}};
  EXPECT_EQ(GetShortName(shell, "E:\\disclaim.txt"), "");
  EXPECT_EQ(shell.shortNameBufferLengths.size(), 1u);
}

TEST(GetShortName, TooLongForTheBufferAsksAgainWithTheReportedSize) {
  const std::string longShort = "C:\\" + std::string(300, 'A');
  RecordingShell shell;
  shell.shortNames = {{304, ""}, {303, longShort}};
  EXPECT_EQ(GetShortName(shell, "C:\\long\\disclaim.txt"), longShort);
  EXPECT_EQ(shell.shortNameBufferLengths, (std::vector<std::uint32_t>{255, 304}));
}

TEST(GetShortName, NeverReturnsBlanksWhenTheSecondCallStillDoesNotFit) {
  RecordingShell shell;
  shell.shortNames = {{304, ""}, {400, ""}};
  EXPECT_EQ(GetShortName(shell, "C:\\growing\\disclaim.txt"), "");
}

}  // namespace
}  // namespace startboard
