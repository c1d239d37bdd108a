// UTF-8 (the core's strings) to and from UTF-16 (the Windows API's).
#pragma once

#include <string>
#include <string_view>

namespace startboard {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace startboard
