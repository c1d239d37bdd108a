// Shared launch routines: start disc files through the shell and explain a
// failed start.
#pragma once

#include <string>
#include <string_view>

#include "shell/ShellServices.h"

namespace startboard {

// The message shown for a failed start: `noProgram` when no program opens
// the file's type, "Unknown error" for any code without its own text.
std::string_view LaunchFailureMessage(LaunchResult result, std::string_view noProgram);

// Starts an absolute path with its associated program, with "C:\" as the
// started program's working directory. Shows nothing; returns the result.
LaunchResult OpenWithShell(ShellServices& shell, std::string_view path);

// Opens a document below the install root; a failed start is reported in a
// message box with the application's title.
void ShowDocument(ShellServices& shell, std::string_view relativePath, std::string_view noProgram);

// The short (8.3) form of a path, or "" when the system cannot give one.
std::string GetShortName(ShellServices& shell, std::string_view path);

}  // namespace startboard
