#include <gtest/gtest.h>

#include "RecordingShell.h"
#include "ui/AboutLayout.h"
#include "weblinks/WebLinks.h"

namespace startboard {
namespace {

using testing::ExecuteCall;
using testing::kMain;
using testing::MessageCall;
using testing::RecordingShell;

TEST(OpenWebLink, FindsTheBrowserThroughTheProbePageAndPassesTheUrl) {
  RecordingShell shell;
  shell.applicationDirectory = "C:\\Cdcopy";
  shell.foundProgram = R"(C:\Program Files\Web Browser\browser.exe)";
  OpenWebLink(shell, "http://nv98.example.net");
  ASSERT_EQ(shell.finds.size(), 1u);
  EXPECT_EQ(shell.finds[0].file, "C:\\Cdcopy\\temphtm.htm");
  EXPECT_EQ(shell.finds[0].directory, std::nullopt);
  EXPECT_GE(shell.finds[0].bufferLength, 260u);
  EXPECT_EQ(shell.executes,
            (std::vector<ExecuteCall>{{kMain, "open", "C:\\Program Files\\Web Browser\\browser.exe",
                                       "http://nv98.example.net", std::nullopt, 1}}));
  EXPECT_TRUE(shell.messages.empty());
}

TEST(OpenWebLink, TheBrowserPathEndsAtTheFirstNul) {
  RecordingShell shell;
  shell.foundProgram = "C:\\b.exe";  // the rest of the buffer stays blank
  OpenWebLink(shell, "http://x.example.com");
  ASSERT_EQ(shell.executes.size(), 1u);
  EXPECT_EQ(shell.executes[0].file, "C:\\b.exe");
}

TEST(OpenWebLink, MailtoGoesToTheBrowserUnchanged) {
  RecordingShell shell;
  OpenWebLink(shell, SupportMailUrl);
  ASSERT_EQ(shell.executes.size(), 1u);
  EXPECT_EQ(shell.executes[0].parameters, "mailto:help@nv98.example.com");
}

TEST(OpenWebLink, NoBrowserFoundShowsTheFirstMessageAndStartsNothing) {
  for (LaunchResult code : {2, 31, 0, 32}) {
    RecordingShell shell;
    shell.findResult = code;
    OpenWebLink(shell, ProductSiteUrl);
    EXPECT_TRUE(shell.executes.empty()) << code;
    EXPECT_EQ(shell.messages,
              (std::vector<MessageCall>{{"Can't launch your web browser. Please install a web "
                                         "browser.",
                                         Buttons::Ok, "Norvane 98 Startboard"}}));
  }
}

TEST(OpenWebLink, ABrowserThatWillNotStartShowsTheSecondMessage) {
  RecordingShell shell;
  shell.executeResults = {2};
  OpenWebLink(shell, MakerSiteUrl);
  EXPECT_EQ(shell.messages, (std::vector<MessageCall>{{"Web page couldn't be opened", Buttons::Ok,
                                                       "Norvane 98 Startboard"}}));
}

TEST(LinkCommands, EachOpensItsOwnUrl) {
  const std::pair<Command, const char*> links[] = {
      {OpenMakerSite, "http://www.quillmere.example.com"},
      {OpenProductSite, "http://nv98.example.net"},
      {MailSupport, "mailto:help@nv98.example.com"},
  };
  for (const auto& [command, url] : links) {
    RecordingShell shell;
    command(shell);
    ASSERT_EQ(shell.executes.size(), 1u);
    EXPECT_EQ(shell.executes[0].parameters, url);
    EXPECT_EQ(shell.finds.size(), 1u);
  }
}

}  // namespace
}  // namespace startboard
