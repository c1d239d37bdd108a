#include <gtest/gtest.h>

#include "RecordingShell.h"
#include "ui/CommandGate.h"

namespace startboard {
namespace {

using testing::RecordingShell;

// A command that, like a shell call dispatching messages, receives a second
// click while it is still running.
CommandGate* gateUnderTest = nullptr;
int nestedRuns = 0;
void Nested(ShellServices& shell) {
  ++nestedRuns;
  shell.DesktopWindow();
}
void ReEnters(ShellServices& shell) {
  EXPECT_TRUE(gateUnderTest->Busy());
  EXPECT_FALSE(gateUnderTest->Run(Nested, shell));
}

TEST(CommandGate, DropsAClickThatArrivesWhileACommandRuns) {
  CommandGate gate;
  gateUnderTest = &gate;
  nestedRuns = 0;
  RecordingShell shell;
  EXPECT_TRUE(gate.Run(ReEnters, shell));
  EXPECT_EQ(nestedRuns, 0);
  EXPECT_FALSE(gate.Busy());
  // Once the first command has finished, the next click runs.
  EXPECT_TRUE(gate.Run(Nested, shell));
  EXPECT_EQ(nestedRuns, 1);
  EXPECT_FALSE(gate.Run(nullptr, shell));
  gateUnderTest = nullptr;  // `gate` goes out of scope here
}

}  // namespace
}  // namespace startboard
