#include "launch/Commands.h"

#include <string>

#include "app/Identity.h"
#include "launch/Launch.h"

namespace startboard {

void ViewManual(ShellServices& shell) { ShowDocument(shell, CdLayout::Manual); }

void InstallReader(ShellServices& shell) {
  if (shell.Message(kReaderPrompt, Buttons::YesNo, kReaderTitle) != kAnswerYes) return;
  // A failed installer start is deliberately silent.
  OpenWithShell(shell, CdPath(shell, CdLayout::ReaderSetup));
}

void InstallProduct(ShellServices& shell) {
  const std::string root = InstallRoot(shell);
  const WindowHandle desktop = shell.DesktopWindow();
  const std::string disclaimer = GetShortName(shell, root + std::string(CdLayout::Disclaimer));
  // Show the disclaimer in the text viewer and ask at once, without waiting
  // for it; a disclaimer that cannot be opened does not stop the install.
  shell.Execute(desktop, "open", disclaimer, "", "", kShowNormal);
  if (shell.Message(kProductPrompt, Buttons::YesNo, kProductTitle) != kAnswerYes) return;
  OpenWithShell(shell, root + std::string(CdLayout::ProductSetup));
}

void QuitLauncher(ShellServices& shell) { shell.EndProgram(); }

}  // namespace startboard
