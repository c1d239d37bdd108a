#include "weblinks/WebLinks.h"

#include <string>

#include "app/Identity.h"

namespace startboard {

void OpenWebLink(ShellServices& shell, std::string_view url) {
  std::string buffer(kBrowserBufferLength, ' ');
  const LaunchResult found =
      shell.FindExecutableFor(CdPath(shell, brand::kProbePage), std::nullopt, buffer);
  if (!Succeeded(found)) {
    shell.Message(kNoBrowserMessage, Buttons::Ok);
    return;
  }
  const std::string browser = buffer.substr(0, buffer.find('\0'));
  // Parented to the main window even when the click came from the About box.
  const LaunchResult started =
      shell.Execute(shell.MainWindow(), "open", browser, url, std::nullopt, kShowNormal);
  if (!Succeeded(started)) shell.Message(kPageFailedMessage, Buttons::Ok);
}

}  // namespace startboard
