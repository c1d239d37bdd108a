// Runs one launcher command with the real Win32 shell services and no main
// window, so a test can watch exactly what the command does on Windows.
// With STARTBOARD_CALL_LOG set, every shell call is also logged there with
// its arguments and result (one tab-separated UTF-8 line each).
// Usage: command_runner.exe ViewManual | InstallReader | InstallProduct |
//        OpenWebLink URL
#include <windows.h>
#include <shellapi.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "launch/Commands.h"
#include "shell/Unicode.h"
#include "shell/Win32Shell.h"
#include "weblinks/WebLinks.h"

namespace {

using startboard::LaunchResult;
using startboard::ShellServices;
using startboard::WindowHandle;

// Appends one line of fields to the call log, if there is one.
void LogCall(std::initializer_list<std::string_view> fields) {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetEnvironmentVariableW(L"STARTBOARD_CALL_LOG", path, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return;
  std::string line;
  for (const std::string_view field : fields) line.append(field).append("\t");
  line.back() = '\n';
  const HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

// A null string argument is logged as "<null>", to tell it from "".
std::string_view OrNull(std::optional<std::string_view> text) { return text ? *text : "<null>"; }

// The real shell, with every shell call logged after it returns.
class LoggingShell final : public ShellServices {
 public:
  WindowHandle DesktopWindow() override { return real_.DesktopWindow(); }
  WindowHandle MainWindow() override { return real_.MainWindow(); }
  LaunchResult Execute(WindowHandle window, std::string_view operation, std::string_view file,
                       std::optional<std::string_view> parameters,
                       std::optional<std::string_view> directory, int show) override {
    const LaunchResult result = real_.Execute(window, operation, file, parameters, directory, show);
    LogCall({"Execute", operation, file, OrNull(parameters), OrNull(directory),
             std::to_string(result)});
    return result;
  }
  LaunchResult FindExecutableFor(std::string_view file, std::optional<std::string_view> directory,
                                 std::string& buffer) override {
    const LaunchResult result = real_.FindExecutableFor(file, directory, buffer);
    LogCall({"FindExecutable", file, OrNull(directory), std::to_string(result)});
    return result;
  }
  std::uint32_t ShortPathName(std::string_view longPath, std::string& shortPath,
                              std::uint32_t bufferLength) override {
    const std::uint32_t result = real_.ShortPathName(longPath, shortPath, bufferLength);
    LogCall({"ShortPathName", longPath, std::to_string(bufferLength), std::to_string(result),
             shortPath});
    return result;
  }
  std::string ApplicationDirectory() override { return real_.ApplicationDirectory(); }
  void ShowModal(startboard::Form form) override { real_.ShowModal(form); }
  void EndProgram() override { real_.EndProgram(); }

 protected:
  int ShowMessage(std::string_view prompt, startboard::Buttons buttons,
                  std::string_view title) override {
    return real_.Message(prompt, buttons, title);
  }

 private:
  startboard::Win32Shell real_;
};

struct RunnerCommand {
  std::wstring_view name;
  int arguments;  // how many follow the name
  void (*run)(ShellServices& shell, const std::string& argument);
};

constexpr RunnerCommand kCommands[] = {
    {L"ViewManual", 0, [](ShellServices& shell, const std::string&) { startboard::ViewManual(shell); }},
    {L"InstallReader", 0, [](ShellServices& shell, const std::string&) { startboard::InstallReader(shell); }},
    {L"InstallProduct", 0, [](ShellServices& shell, const std::string&) { startboard::InstallProduct(shell); }},
    {L"OpenWebLink", 1, [](ShellServices& shell, const std::string& url) { startboard::OpenWebLink(shell, url); }},
};

constexpr int kUsageError = 2;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  int status = kUsageError;
  for (const RunnerCommand& command : kCommands) {
    if (argc != 2 + command.arguments || command.name != argv[1]) continue;
    LoggingShell shell;
    command.run(shell, command.arguments > 0 ? startboard::Narrow(argv[2]) : std::string());
    status = 0;
  }
  LocalFree(argv);
  return status;
}
