// Stands in for any program a document or URL is opened with: records how it
// was started (see RecordLog.h) and exits without showing a window.
#include <windows.h>

#include "RecordLog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return record_log::AppendStartRecord() ? 0 : 1;
}
