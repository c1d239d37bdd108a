// The main menu window: a borderless picture with invisible click zones.
#pragma once

#include "brand/Data.h"
#include "ui/Layout.h"

namespace startboard {

// The client area, exactly the menu picture at 96 dpi.
inline constexpr TwipRect kMainClient = brand::kMenuClient;

// Stacking order, front to back: where zones overlap, the front one wins.
inline constexpr const auto& kHotZones = brand::kZones;

// The zone that takes a click at a client pixel at `dpi`, or nullptr.
const HotZone* HotZoneAt(int x, int y, int dpi);

}  // namespace startboard
