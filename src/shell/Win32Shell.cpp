#include "shell/Win32Shell.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <type_traits>

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

// advapi32 is loaded on first use, so its RegCloseKey comes with the key.
struct KeyCloser {
  decltype(&RegCloseKey) close;
  void operator()(HKEY key) const { close(key); }
};

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
  if (kElevates && operation == "runas") {
    return RunAs(ToHwnd(window), wideFile.c_str(), OptionalText(parameters, wideParameters),
                 OptionalText(directory, wideDirectory), show);
  }
  const auto execute = shell32_.Get<decltype(&ShellExecuteW)>("ShellExecuteW");
  if (execute == nullptr) return 0;
  return ToLaunchResult(execute(ToHwnd(window), wideOperation.c_str(), wideFile.c_str(),
                                OptionalText(parameters, wideParameters),
                                OptionalText(directory, wideDirectory), show));
}

LaunchResult Win32Shell::RunAs(HWND window, const wchar_t* file, const wchar_t* parameters,
                               const wchar_t* directory, int show) {
  const auto execute = shell32_.Get<decltype(&ShellExecuteExW)>("ShellExecuteExW");
  if (execute == nullptr) return 0;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // No box of the shell's own: a failed install start is silent.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.hwnd = window;
  info.lpVerb = L"runas";
  info.lpFile = file;
  info.lpParameters = parameters;
  info.lpDirectory = directory;
  info.nShow = show;
  if (execute(&info) != FALSE) return ToLaunchResult(info.hInstApp);
  if (GetLastError() == ERROR_CANCELLED) return kDeclined;
  const LaunchResult code = ToLaunchResult(info.hInstApp);
  return Succeeded(code) ? 0 : code;
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

WindowsVersion Win32Shell::SystemVersion() {
  // GetVersionEx answers what the manifest claims the program knows;
  // RtlGetVersion what Windows is.
  if constexpr (!kAsksMachine) return {};
  using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto get = ntdll_.Get<GetVersion>("RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (get == nullptr || get(&info) != 0) return {};
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

Machine Win32Shell::NativeMachine() {
  // Windows 10 1511 and later name the machine even under emulation (x86 or
  // x64 programs on ARM64); before, a 32-bit program under WOW64 is on x64.
  if constexpr (!kAsksMachine) return kX86;
  using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  if (const auto wow64 = kernel32_.Get<IsWow64Process2Function>("IsWow64Process2")) {
    USHORT process = 0;
    USHORT native = 0;
    if (wow64(GetCurrentProcess(), &process, &native) != FALSE) {
      if (native == IMAGE_FILE_MACHINE_ARM64) return kArm64;
      return native == IMAGE_FILE_MACHINE_AMD64 ? kX64 : kX86;
    }
  }
  BOOL underWow64 = FALSE;
  if (IsWow64Process(GetCurrentProcess(), &underWow64) != FALSE && underWow64 != FALSE) {
    return kX64;
  }
  SYSTEM_INFO system{};
  GetNativeSystemInfo(&system);
  switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
      return kX64;
    case PROCESSOR_ARCHITECTURE_ARM64:
      return kArm64;
    default:
      return kX86;
  }
}

bool Win32Shell::PathExists(std::string_view path) {
  if constexpr (!kAsksMachine) return false;
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Shell::RegistryHas(Hive hive, std::string_view key, std::optional<std::string_view> value,
                             bool view32) {
  if constexpr (!kAsksMachine) return false;
  const auto open = advapi32_.Get<decltype(&RegOpenKeyExW)>("RegOpenKeyExW");
  const auto query = advapi32_.Get<decltype(&RegQueryValueExW)>("RegQueryValueExW");
  const auto close = advapi32_.Get<decltype(&RegCloseKey)>("RegCloseKey");
  if (open == nullptr || query == nullptr || close == nullptr) return false;
  // On 32-bit Windows there is one view, and the flags are ignored.
  const REGSAM access = KEY_QUERY_VALUE | (view32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
  HKEY raw = nullptr;
  if (open(hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, Widen(key).c_str(),
           0, access, &raw) != ERROR_SUCCESS) {
    return false;
  }
  const std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser> opened(raw, KeyCloser{close});
  return !value || query(opened.get(), Widen(*value).c_str(), nullptr, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS;
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
