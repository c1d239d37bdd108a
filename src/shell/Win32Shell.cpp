#include "shell/Win32Shell.h"

#include <shellapi.h>

#include <algorithm>

#include "bench/Probe.h"
#include "shell/Unicode.h"

namespace startboard {

namespace {

WindowHandle ToHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }
HWND ToHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

// An empty optional is a null pointer; anything else points at `storage`.
const wchar_t* OptionalText(std::optional<std::string_view> text, std::wstring& storage) {
  if (!text) return nullptr;
  storage = Widen(*text);
  return storage.c_str();
}

// ShellExecute and FindExecutable return an HINSTANCE that is really a small
// integer code.
LaunchResult ToLaunchResult(HINSTANCE code) {
  return static_cast<LaunchResult>(reinterpret_cast<INT_PTR>(code));
}

}  // namespace

WindowHandle Win32Shell::DesktopWindow() { return ToHandle(GetDesktopWindow()); }

WindowHandle Win32Shell::MainWindow() { return ToHandle(main_); }

LaunchResult Win32Shell::Execute(WindowHandle window, std::string_view operation,
                                 std::string_view file, std::optional<std::string_view> parameters,
                                 std::optional<std::string_view> directory, int show) {
  const std::wstring wideOperation = Widen(operation);
  const std::wstring wideFile = Widen(file);
  std::wstring wideParameters;
  std::wstring wideDirectory;
  bench::Mark("shell");
  com_.Enter();
  const auto execute = shell32_.Get<decltype(&ShellExecuteW)>("ShellExecuteW");
  if (execute == nullptr) return 0;
  return ToLaunchResult(execute(ToHwnd(window), wideOperation.c_str(), wideFile.c_str(),
                                OptionalText(parameters, wideParameters),
                                OptionalText(directory, wideDirectory), show));
}

LaunchResult Win32Shell::FindExecutableFor(std::string_view file,
                                           std::optional<std::string_view> directory,
                                           std::string& buffer) {
  const std::wstring wideFile = Widen(file);
  std::wstring wideDirectory;
  // FindExecutableW writes up to MAX_PATH characters whatever the caller
  // asked for, so the buffer is never smaller than that.
  std::wstring result(std::max<std::size_t>(buffer.size(), MAX_PATH), L' ');
  com_.Enter();
  const auto find = shell32_.Get<decltype(&FindExecutableW)>("FindExecutableW");
  if (find == nullptr) return 0;
  const LaunchResult code =
      ToLaunchResult(find(wideFile.c_str(), OptionalText(directory, wideDirectory), result.data()));
  if (Succeeded(code)) {
    result.resize(std::min(result.find(L'\0'), result.size()));
    buffer = Narrow(result);
    buffer.push_back('\0');
  }
  return code;
}

std::uint32_t Win32Shell::ShortPathName(std::string_view longPath, std::string& shortPath,
                                        std::uint32_t bufferLength) {
  const std::wstring wideLong = Widen(longPath);
  std::wstring result(bufferLength, L' ');
  const DWORD length = GetShortPathNameW(wideLong.c_str(), result.data(), bufferLength);
  shortPath = length > 0 && length < bufferLength ? Narrow(std::wstring_view(result.data(), length))
                                                  : std::string();
  return length;
}

std::string Win32Shell::ApplicationDirectory() {
  // Grow the buffer until the whole module path fits: a disc copied deep
  // into a folder tree can be longer than MAX_PATH.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return {};
  // A drive root keeps its backslash (E:\), as the system reports it.
  const bool driveRoot = slash == 2 && path[1] == L':';
  path.resize(driveRoot ? slash + 1 : slash);
  return Narrow(path);
}

HWND Win32Shell::FrontWindow() const { return modalStack_.empty() ? main_ : modalStack_.back(); }

int Win32Shell::ShowMessage(std::string_view prompt, Buttons buttons, std::string_view title) {
  const std::wstring widePrompt = Widen(prompt);
  const std::wstring wideTitle = Widen(title);
  const UINT type = buttons == Buttons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK;
  // Owned by the front window, which is disabled while the box is up, so no
  // other command can start underneath it. With no window yet, the box is
  // modal to the whole thread instead.
  const HWND owner = FrontWindow();
  return MessageBoxW(owner, widePrompt.c_str(), wideTitle.c_str(),
                     type | (owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL));
}

}  // namespace startboard
