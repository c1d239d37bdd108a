// ShellServices on Windows: the wide-character shell functions, message
// boxes owned by the launcher's front window, and the module's directory.
#pragma once

#include <windows.h>

#include <vector>

#include "shell/ShellServices.h"
#include "shell/SystemLibrary.h"

namespace startboard {

// Whoever owns the forms shows them; the shell only passes the request on.
class ModalForms {
 public:
  virtual void ShowModal(Form form) = 0;

 protected:
  ~ModalForms() = default;
};

class Win32Shell final : public ShellServices {
 public:
  explicit Win32Shell(ModalForms* forms = nullptr) : forms_(forms) {}

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
  void ShowModal(Form form) override;
  void EndProgram() override;

  // The window a message box or modal form belongs to: the innermost modal
  // form, else the main window.
  HWND FrontWindow() const;

  // COM for callers outside the shell (the About window's picture loader).
  bool EnterCom() { return com_.Enter(); }

  // The common controls (tooltips), loaded and registered on first need.
  bool EnsureCommonControls();

  // Marks a modal form as the front window while it is shown.
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
  ModalForms* forms_;
  ComApartment com_;
  SystemLibrary shell32_{L"shell32.dll"};
  SystemLibrary comctl32_{L"comctl32.dll", SystemLibrary::Source::SideBySide};
  std::optional<bool> commonControls_;
  HWND main_ = nullptr;
  std::vector<HWND> modalStack_;
};

}  // namespace startboard
