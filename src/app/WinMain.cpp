// Start-up: lock down DLL loading, show the main menu and run the message
// loop until it closes.
#include <windows.h>

#include <optional>

#include "shell/Win32Shell.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"

namespace startboard {
namespace {

// A disc copied into a Downloads folder sits next to whatever else was
// downloaded there: never look for DLLs in the program's own directory.
void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault == nullptr || setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) == FALSE) {
    SetDllDirectoryW(L"");
  }
}

class Launcher final : public ModalForms {
 public:
  int Run(HINSTANCE instance) {
    if (!frmMain::Register(instance) || !frmAbout::Register(instance)) return 1;
    if (!main_.Create(instance, shell_)) return 1;
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
  }

  void ShowModal(Form form) override {
    switch (form) {
      case Form::About:
        if (!about_) about_.emplace(shell_);
        about_->ShowModal();
        break;
    }
  }

 private:
  Win32Shell shell_{this};
  frmMain main_;
  std::optional<frmAbout> about_;
};

}  // namespace
}  // namespace startboard

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  startboard::RestrictDllSearch();
  startboard::Launcher launcher;
  return launcher.Run(instance);
}
