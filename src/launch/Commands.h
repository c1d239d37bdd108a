// The main menu's commands.
#pragma once

#include <string_view>

#include "shell/ShellServices.h"

namespace startboard {

// Confirmation prompts: two paragraphs separated by one empty line.
inline constexpr std::string_view kReaderPrompt =
    "You need the Adobe Acrobat Reader software to view the online User Manual from this "
    "CD-ROM.\r\n\r\nDo you wish to continue?";
inline constexpr std::string_view kReaderTitle = "Install Adobe Acrobat Reader?";
inline constexpr std::string_view kProductPrompt =
    "This installation of Norvane 98 runs as a standalone product.  After you evaluate and "
    "purchase it, you will be able to unlock all of its features, and even network it across "
    "the LAN.\r\n\r\nDid you read, understand and ACCEPT the Disclaimer?";
inline constexpr std::string_view kProductTitle = "Install Norvane 98?";

void ViewManual(ShellServices& shell);
void InstallReader(ShellServices& shell);
void InstallProduct(ShellServices& shell);
void QuitLauncher(ShellServices& shell);

}  // namespace startboard
