// The publisher's own details, shown in the About window and the version
// block. Change these to re-brand the launcher.
#pragma once

#include <string_view>

namespace startboard::Maker {

inline constexpr std::string_view CompanyName = "Quillmere Software, Inc.";
inline constexpr std::string_view Copyright = "\xC2\xA9 1998 Quillmere Software";
inline constexpr std::string_view SupportPhone = "(900) 555-0147";
inline constexpr std::string_view SalesPhone = "(800) 555-0163";
inline constexpr std::string_view Street = "1200 Larkspur Avenue, Suite 300";
inline constexpr std::string_view Town = "Fairhaven, OR 97099";
inline constexpr std::string_view SiteTooltip = "Visit the Quillmere Software Website";

}  // namespace startboard::Maker
