// Where the disc's files are: below the launcher's own folder, by their
// long or short (8.3) names.
#pragma once

#include <string>
#include <string_view>

#include "shell/ShellServices.h"

namespace startboard {

// The application directory followed by exactly one backslash. Computed
// afresh on every call, never cached.
std::string InstallRoot(ShellServices& shell);

// InstallRoot followed directly by a relative path; nothing is normalised.
std::string CdPath(ShellServices& shell, std::string_view relative);

// The short (8.3) form of a path, or "" when the system cannot give one.
std::string GetShortName(ShellServices& shell, std::string_view path);

}  // namespace startboard
