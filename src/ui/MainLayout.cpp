#include "ui/MainLayout.h"

namespace startboard {

const HotZone* HotZoneAt(int x, int y, int dpi) {
  return FrontmostAt(std::span<const HotZone>(kHotZones), x, y, dpi);
}

}  // namespace startboard
