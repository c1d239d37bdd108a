// Start-up: lock down DLL loading, show the main menu and run the message
// loop until it closes.
#include <windows.h>

#include "shell/Win32Shell.h"
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

// The shell outlives the windows that call it. The user's language is
// chosen once: every window and box of the run speaks it.
int Run(HINSTANCE instance) {
  Win32Shell shell(LanguageFor(brand::kLanguages, GetUserDefaultUILanguage()));
  frmMain main(shell, shell.Texts());
  if (!frmMain::Register(instance) || !main.Create(instance)) return 1;
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace
}  // namespace startboard

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  startboard::RestrictDllSearch();
  return startboard::Run(instance);
}
