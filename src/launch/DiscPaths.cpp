#include "launch/DiscPaths.h"

#include <cstdint>

namespace startboard {

namespace {

constexpr std::uint32_t kShortNameBuffer = 255;

}  // namespace

std::string InstallRoot(ShellServices& shell) {
  std::string root = shell.ApplicationDirectory();
  // A drive root (E:\) already ends in a backslash; a folder does not.
  if (root.empty() || root.back() != '\\') root += '\\';
  return root;
}

std::string CdPath(ShellServices& shell, std::string_view relative) {
  return InstallRoot(shell).append(relative);
}

std::string GetShortName(ShellServices& shell, std::string_view path) {
  std::string shortPath;
  std::uint32_t length = shell.ShortPathName(path, shortPath, kShortNameBuffer);
  // Too small a buffer reports the size it needs: ask once more with that,
  // rather than hand a buffer of blanks to the shell.
  if (length >= kShortNameBuffer) {
    const std::uint32_t needed = length;
    length = shell.ShortPathName(path, shortPath, needed);
    if (length >= needed) return {};
  }
  if (length == 0) return {};
  return shortPath;
}

}  // namespace startboard
