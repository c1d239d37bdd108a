// Runs one launcher command with the real Win32 shell services and no main
// window, so a test can watch exactly what the command does on Windows.
// Usage: command_runner.exe ViewManual | InstallReader | InstallProduct |
//        OpenWebLink URL
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "launch/Commands.h"
#include "shell/Unicode.h"
#include "shell/Win32Shell.h"
#include "weblinks/WebLinks.h"

namespace {

using startboard::ShellServices;

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
    startboard::Win32Shell shell;
    command.run(shell, command.arguments > 0 ? startboard::Narrow(argv[2]) : std::string());
    status = 0;
  }
  LocalFree(argv);
  return status;
}
