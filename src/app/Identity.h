// The launcher's identity and the rule that locates its files on the disc.
#pragma once

#include <string>
#include <string_view>

#include "brand/Data.h"

namespace startboard {

class ShellServices;

inline constexpr std::string_view ApplicationTitle = brand::kTitle;

// The application directory followed by exactly one backslash. Computed
// afresh on every call, never cached.
std::string InstallRoot(ShellServices& shell);

// InstallRoot followed directly by a relative path; nothing is normalised.
std::string CdPath(ShellServices& shell, std::string_view relative);

}  // namespace startboard
