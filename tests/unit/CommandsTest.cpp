#include <gtest/gtest.h>

#include "RecordingShell.h"
#include "launch/Commands.h"

namespace startboard {
namespace {

using testing::ExecuteCall;
using testing::kDesktop;
using testing::MessageCall;
using testing::RecordingShell;

TEST(Prompts, ExactBytes) {
  EXPECT_EQ(kReaderPrompt,
            "You need the Adobe Acrobat Reader software to view the online User Manual from "
            "this CD-ROM.\x0D\x0A\x0D\x0A"
            "Do you wish to continue?");
  EXPECT_EQ(kProductPrompt,
            "This installation of Norvane 98 runs as a standalone product.\x20\x20"
            "After you evaluate and purchase it, you will be able to unlock all of its "
            "features, and even network it across the LAN.\x0D\x0A\x0D\x0A"
            "Did you read, understand and ACCEPT the Disclaimer?");
  EXPECT_EQ(kReaderTitle, "Install Adobe Acrobat Reader?");
  EXPECT_EQ(kProductTitle, "Install Norvane 98?");
}

TEST(InstallReader, NoStartsNothing) {
  for (int answer : {7, 2, 1, 0}) {  // No, and a box closed some other way
    RecordingShell shell;
    shell.answers = {answer};
    InstallReader(shell);
    EXPECT_EQ(shell.messages, (std::vector<MessageCall>{{std::string(kReaderPrompt), Buttons::YesNo,
                                                         "Install Adobe Acrobat Reader?"}}));
    EXPECT_TRUE(shell.executes.empty()) << answer;
  }
}

TEST(InstallReader, YesStartsTheInstallerAndIgnoresAFailure) {
  RecordingShell shell;
  shell.applicationDirectory = "E:\\";
  shell.answers = {6};
  shell.executeResults = {2};
  InstallReader(shell);
  EXPECT_EQ(shell.executes,
            (std::vector<ExecuteCall>{{kDesktop, "Open", "E:\\reader\\setup.exe", "", "C:\\", 1}}));
  EXPECT_EQ(shell.messages.size(), 1u);  // the question only
}

TEST(InstallProduct, ShowsTheDisclaimerThenAsksThenInstallsOnYes) {
  RecordingShell shell;
  shell.applicationDirectory = "E:\\";
  shell.shortNames = {{15, "E:\\DISCLA~1.TXT"}};
  shell.answers = {6};
  InstallProduct(shell);
  EXPECT_EQ(shell.log, (std::vector<std::string>{
                           "ApplicationDirectory",
                           "DesktopWindow",
                           "ShortPathName E:\\disclaim.txt",
                           "Execute E:\\DISCLA~1.TXT",
                           "Message Install Norvane 98?",
                           "DesktopWindow",
                           "Execute E:\\standalone\\setup.exe",
                       }));
  EXPECT_EQ(shell.executes, (std::vector<ExecuteCall>{
                                {kDesktop, "open", "E:\\DISCLA~1.TXT", "", "", 1},
                                {kDesktop, "Open", "E:\\standalone\\setup.exe", "", "C:\\", 1},
                            }));
  EXPECT_EQ(shell.messages.at(0),
            (MessageCall{std::string(kProductPrompt), Buttons::YesNo, "Install Norvane 98?"}));
}

TEST(InstallProduct, NoLeavesOnlyTheDisclaimerOpen) {
  RecordingShell shell;
  shell.shortNames = {{15, "E:\\DISCLA~1.TXT"}};
  shell.answers = {7};
  InstallProduct(shell);
  ASSERT_EQ(shell.executes.size(), 1u);
  EXPECT_EQ(shell.executes[0].operation, "open");
}

TEST(InstallProduct, MissingDisclaimerStillAsksAndInstalls) {
  RecordingShell shell;
  shell.applicationDirectory = "C:\\Cdcopy";
  shell.shortNames = {{0, ""}};
  shell.executeResults = {2, 42};  // the disclaimer fails silently
  shell.answers = {6};
  InstallProduct(shell);
  ASSERT_EQ(shell.executes.size(), 2u);
  EXPECT_EQ(shell.executes[0], (ExecuteCall{kDesktop, "open", "", "", "", 1}));
  EXPECT_EQ(shell.executes[1].file, "C:\\Cdcopy\\standalone\\setup.exe");
  EXPECT_EQ(shell.messages.size(), 1u);
}

TEST(QuitLauncher, EndsTheProgramAndNothingElse) {
  RecordingShell shell;
  QuitLauncher(shell);
  EXPECT_EQ(shell.log, std::vector<std::string>{"EndProgram"});
}

}  // namespace
}  // namespace startboard
