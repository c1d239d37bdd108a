// Opens a URL in the default web browser: the program registered for the
// disc's probe page, started with the URL as its parameter.
#pragma once

#include <string_view>

#include "shell/ShellServices.h"

namespace startboard {

inline constexpr std::string_view kNoBrowserMessage =
    "Can't launch your web browser. Please install a web browser.";
inline constexpr std::string_view kPageFailedMessage = "Web page couldn't be opened";

// FindExecutable writes up to MAX_PATH characters with the NUL.
inline constexpr std::size_t kBrowserBufferLength = 260;

void OpenWebLink(ShellServices& shell, std::string_view url);

}  // namespace startboard
