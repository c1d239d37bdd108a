#include "app/Identity.h"

#include "shell/ShellServices.h"

namespace startboard {

std::string InstallRoot(ShellServices& shell) {
  std::string root = shell.ApplicationDirectory();
  // A drive root (E:\) already ends in a backslash; a folder does not.
  if (root.empty() || root.back() != '\\') root += '\\';
  return root;
}

std::string CdPath(ShellServices& shell, std::string_view relative) {
  return InstallRoot(shell).append(relative);
}

}  // namespace startboard
