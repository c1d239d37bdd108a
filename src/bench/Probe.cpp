#include "bench/Probe.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace startboard::bench {

void Mark(const char* event) {
  LARGE_INTEGER now{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  const DWORD needed = GetEnvironmentVariableW(L"STARTBOARD_BENCH_LOG", nullptr, 0);
  if (needed == 0) return;
  std::wstring path(needed, L'\0');
  path.resize(GetEnvironmentVariableW(L"STARTBOARD_BENCH_LOG", path.data(), needed));
  char line[128];
  const int length =
      std::snprintf(line, sizeof line, "%s %lld %lld\n", event, now.QuadPart, frequency.QuadPart);
  const HANDLE file =
      CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

}  // namespace startboard::bench
