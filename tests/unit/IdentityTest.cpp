#include <gtest/gtest.h>

#include "RecordingShell.h"
#include "app/Identity.h"

namespace startboard {
namespace {

using testing::RecordingShell;

struct RootCase {
  // cppcheck-suppress unusedStructMember ; read through GetParam()
  const char* directory;
  // cppcheck-suppress unusedStructMember ; read through GetParam()
  const char* root;
};

class InstallRootTest : public ::testing::TestWithParam<RootCase> {};

TEST_P(InstallRootTest, EndsInExactlyOneBackslash) {
  RecordingShell shell;
  shell.applicationDirectory = GetParam().directory;
  EXPECT_EQ(InstallRoot(shell), GetParam().root);
}

INSTANTIATE_TEST_SUITE_P(
    Directories, InstallRootTest,
    ::testing::Values(RootCase{"E:\\", "E:\\"}, RootCase{"C:\\Cdcopy", "C:\\Cdcopy\\"},
                      RootCase{"\\\\server\\share\\Norvane", "\\\\server\\share\\Norvane\\"},
                      // Only a backslash counts as a separator.
                      RootCase{"C:\\Cdcopy/", "C:\\Cdcopy/\\"},
                      RootCase{"C:\\\xCE\x94\xCE\xAF\xCF\x83\xCE\xBA\xCE\xBF\xCF\x82",
                               "C:\\\xCE\x94\xCE\xAF\xCF\x83\xCE\xBA\xCE\xBF\xCF\x82\\"}));

TEST(CdPath, JoinsWithoutNormalising) {
  RecordingShell shell;
  shell.applicationDirectory = "C:\\Cdcopy";
  EXPECT_EQ(CdPath(shell, CdLayout::ProbePage), "C:\\Cdcopy\\temphtm.htm");
  shell.applicationDirectory = "E:\\";
  EXPECT_EQ(CdPath(shell, CdLayout::Manual), "E:\\manual\\manual.pdf");
  shell.applicationDirectory = R"(C:\a\..\b)";
  EXPECT_EQ(CdPath(shell, CdLayout::Disclaimer), "C:\\a\\..\\b\\disclaim.txt");
}

TEST(CdPath, AsksForTheDirectoryEveryTime) {
  RecordingShell shell;
  shell.applicationDirectory = "C:\\First";
  EXPECT_EQ(CdPath(shell, CdLayout::ReaderSetup), "C:\\First\\reader\\setup.exe");
  shell.applicationDirectory = "D:\\";
  EXPECT_EQ(CdPath(shell, CdLayout::ProductSetup), "D:\\standalone\\setup.exe");
}

}  // namespace
}  // namespace startboard
