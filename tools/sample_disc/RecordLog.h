// Appends one line describing how this process was started to the file named
// by STARTBOARD_RECORD_LOG: command line, current directory and the long form
// of the first argument when it names an existing file, tab-separated, UTF-8.
// Shared by the e2e recorder and the sample disc's installer stand-in.
#pragma once

#include <windows.h>
// shellapi.h needs the types windows.h declares.
#include <shellapi.h>

#include <string>

namespace record_log {

inline std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

inline std::wstring CurrentDirectory() {
  std::wstring directory(GetCurrentDirectoryW(0, nullptr), L'\0');
  directory.resize(GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()));
  return directory;
}

// The long path of argv[1] when it exists, so a test can tell that a short
// (8.3) argument names the expected file.
inline std::wstring FirstArgumentLongPath() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring result;
  if (argv != nullptr && count > 1) {
    const DWORD needed = GetLongPathNameW(argv[1], nullptr, 0);
    if (needed > 0) {
      result.resize(needed);
      result.resize(GetLongPathNameW(argv[1], result.data(), needed));
    }
  }
  LocalFree(argv);
  return result;
}

// Returns false when the variable is unset or the file cannot be written.
inline bool AppendStartRecord() {
  wchar_t logPath[MAX_PATH * 4];
  const DWORD length = GetEnvironmentVariableW(L"STARTBOARD_RECORD_LOG", logPath, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return false;

  const std::string line = ToUtf8(GetCommandLineW()) + '\t' + ToUtf8(CurrentDirectory()) + '\t' +
                           ToUtf8(FirstArgumentLongPath()) + '\n';
  // FILE_APPEND_DATA makes each write land at the end even when several
  // started programs write at about the same time.
  const HANDLE file = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return ok != FALSE && written == line.size();
}

}  // namespace record_log
