// A program that hangs: records how it was started (see RecordLog.h), then
// sleeps for ten minutes without a window or a message loop.
#include <windows.h>

#include "RecordLog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  record_log::AppendStartRecord();
  Sleep(10 * 60 * 1000);
  return 0;
}
