// What a click runs through the shell: open a document, install a program,
// open a web link. The windows run their own actions (About, Quit).
#pragma once

#include <cstddef>
#include <string_view>

#include "brand/Types.h"
#include "shell/ShellServices.h"

namespace startboard {

// Runs an Open, Install, Web or Explore action; any other kind is the window's.
// Says whether the shell started what the action names.
bool RunAction(ShellServices& shell, const Action& action);

// Open: the message shown for a failed start, in the user's language:
// `noProgram` when no program opens the file's type, the unknown error's for
// any code without its own text.
std::string_view LaunchFailureMessage(const Messages& messages, LaunchResult result,
                                      std::string_view noProgram);

// Starts an absolute path with its associated program, with "C:\" as the
// started program's working directory. Shows nothing; returns the result.
LaunchResult OpenWithShell(ShellServices& shell, std::string_view path);

// Opens a document below the install root; a failed start is reported in a
// message box with the application's title.
bool ShowDocument(ShellServices& shell, std::string_view relativePath, std::string_view noProgram);

// Install: optionally shows a document (by its short name) and asks a
// Yes/No question, then starts the program with its arguments, as
// administrator when it asks to be; a failed start is silent.
bool Install(ShellServices& shell, const Action& action);

// Explore: opens a folder of the disc in Explorer; a failure is explained
// in a message box.
bool Explore(ShellServices& shell, std::string_view folder);

// Web: opens a URL in the default web browser, the program registered for
// the disc's probe page, started with the URL as its parameter.
bool OpenWebLink(ShellServices& shell, std::string_view url);

// FindExecutable writes up to MAX_PATH characters with the NUL.
inline constexpr std::size_t kBrowserBufferLength = 260;

}  // namespace startboard
