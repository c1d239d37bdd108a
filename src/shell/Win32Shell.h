// ShellServices on Windows: the wide-character shell functions, message
// boxes owned by the launcher's front window, and the module's directory.
#pragma once

#include <windows.h>

#include <vector>

#include "shell/Handles.h"
#include "shell/ShellServices.h"
#include "shell/SystemLibrary.h"

namespace startboard {

class Win32Shell final : public ShellServices {
 public:
  using ShellServices::ShellServices;
  void SetMainWindow(HWND window) { main_ = window; }

  WindowHandle DesktopWindow() override;
  WindowHandle MainWindow() override;
  LaunchResult Execute(WindowHandle window, std::string_view operation, std::string_view file,
                       std::optional<std::string_view> parameters,
                       std::optional<std::string_view> directory, int show) override;
  LaunchResult FindExecutableFor(std::string_view file, std::optional<std::string_view> directory,
                                 std::string& buffer) override;
  std::uint32_t ShortPathName(std::string_view longPath, std::string& shortPath,
                              std::uint32_t bufferLength) override;
  std::string ApplicationDirectory() override;
  WindowsVersion SystemVersion() override;
  Machine NativeMachine() override;
  bool PathExists(std::string_view path) override;
  bool RegistryHas(Hive hive, std::string_view key, std::optional<std::string_view> value,
                   bool view32) override;

  // COM on this thread, which the shell calls need; the windows' picture
  // loader shares it.
  ComApartment& Com() { return com_; }

  // Marks a modal window as the one message boxes belong to while it is shown.
  class ModalScope {
   public:
    ModalScope(Win32Shell& shell, HWND form) : shell_(shell) { shell_.modalStack_.push_back(form); }
    ~ModalScope() { shell_.modalStack_.pop_back(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

   private:
    Win32Shell& shell_;
  };

 protected:
  int ShowMessage(std::string_view prompt, Buttons buttons, std::string_view title) override;

 private:
  // The window a message box belongs to: the innermost modal window, else
  // the main window.
  HWND FrontWindow() const;

  ComApartment com_;
  // Asks for administrator rights: ShellExecuteEx, which tells a declined
  // prompt from a failure.
  LaunchResult RunAs(HWND window, const wchar_t* file, const wchar_t* parameters,
                     const wchar_t* directory, int show);

  SystemLibrary shell32_{L"shell32.dll"};
  SystemLibrary advapi32_{L"advapi32.dll"};  // only for a brand that asks the registry
  SystemLibrary ntdll_{L"ntdll.dll"};
  SystemLibrary kernel32_{L"kernel32.dll"};
  HWND main_ = nullptr;
  std::vector<HWND> modalStack_;
};

}  // namespace startboard
