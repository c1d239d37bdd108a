// Stands in for a PDF viewer during the click measurement: it records that
// the shell started it and exits at once, so no window or box is left open.
#include <windows.h>

#include "bench/Probe.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  startboard::bench::Mark("opened");
  return 0;
}
