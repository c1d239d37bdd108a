// The About window: pictures, labels, links and shapes, drawn from one table
// of controls. A brand may have none (kHasAbout false, no controls).
#pragma once

#include <algorithm>
#include <string_view>

#include "brand/Data.h"
#include "ui/Layout.h"

namespace startboard {

inline constexpr std::string_view kAboutCaption = brand::kAboutTitle;
inline constexpr TwipRect kAboutClient = brand::kAboutClient;
inline constexpr Rgb kAboutBackground = brand::kAboutBackground;

// Window-wide font: MS Sans Serif 8.25 points.
inline constexpr std::string_view kAboutFontFace = "MS Sans Serif";
inline constexpr int kAboutFontHundredthsOfPoint = 825;

// Stacking order, front to back.
inline constexpr const auto& kAboutControls = brand::kAboutControls;
inline constexpr auto kAboutPictureCount = static_cast<std::size_t>(std::count_if(
    kAboutControls.begin(), kAboutControls.end(),
    [](const AboutControl& control) { return control.kind == ControlKind::Picture; }));

// The label that takes a click at a client pixel at `dpi`, or nullptr.
const AboutControl* AboutControlAt(int x, int y, int dpi);

}  // namespace startboard
