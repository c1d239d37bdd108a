// The main menu window: a borderless picture with five invisible click zones.
#pragma once

#include <array>
#include <string_view>

#include "ui/Layout.h"

namespace startboard {

// The client area, exactly the menu picture: 725 x 544 pixels at 96 dpi.
inline constexpr TwipRect kMainClient{0, 0, 10875, 8160};

// An invisible, captionless label lying over one painted menu item.
struct HotZone {
  std::string_view name;
  TwipRect twips;
  std::string_view tooltip;
  Command click;
  constexpr bool TakesMouse() const { return true; }
};

// Stacking order, front to back: where zones overlap, the front one wins.
extern const std::array<HotZone, 5> kHotZones;

// The zone that takes a click at a client pixel at `dpi`, or nullptr.
const HotZone* HotZoneAt(int x, int y, int dpi);

}  // namespace startboard
