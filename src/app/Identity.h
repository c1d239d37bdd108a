// The launcher's identity and the rule that locates its files on the disc.
#pragma once

#include <string>
#include <string_view>

namespace startboard {

class ShellServices;

inline constexpr std::string_view ApplicationTitle = "Norvane 98 Startboard";

// Files on the disc, relative to the launcher's own directory.
namespace CdLayout {
inline constexpr std::string_view Manual = "manual\\manual.pdf";
inline constexpr std::string_view ReaderSetup = "reader\\setup.exe";
inline constexpr std::string_view ProductSetup = "standalone\\setup.exe";
inline constexpr std::string_view Disclaimer = "disclaim.txt";
// Any HTML page: only its file type is used, to find the default browser.
inline constexpr std::string_view ProbePage = "temphtm.htm";
}  // namespace CdLayout

// The application directory followed by exactly one backslash. Computed
// afresh on every call, never cached.
std::string InstallRoot(ShellServices& shell);

// InstallRoot followed directly by a relative path; nothing is normalised.
std::string CdPath(ShellServices& shell, std::string_view relative);

}  // namespace startboard
