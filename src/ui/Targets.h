// What of a window the pointer, the keys and screen readers reach, as data:
// the targets present now, front to back (the front one takes the mouse
// where two overlap), the order screen readers list them in and the ring the
// keys move the focus round. A window builds it from its tables; pages and
// zones that come and go give another set, and every input follows it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "brand/Types.h"

namespace startboard {

struct Target {
  TwipRect twips;
  std::string_view name;     // what a screen reader reads
  std::string_view tooltip;  // "" for none
  Action click;              // ActionKind::None: it hides what is behind, and runs nothing
  std::size_t source = 0;    // the zone it stands for, by index (ZoneTargets)
  bool Clickable() const { return click.kind != ActionKind::None; }
};

struct Targets {
  std::vector<Target> frontToBack;
  std::vector<std::size_t> listed;   // screen readers' children, by index
  std::vector<std::size_t> keyRing;  // where Tab goes, in order, by index

  // The front-most target under a pixel at `dpi`.
  std::optional<std::size_t> At(int x, int y, int dpi) const;
  // Where the focus goes from `at`: one on round the ring, or one back;
  // from no focus yet, to the first, or back to the last. None without a ring.
  std::optional<std::size_t> Next(std::optional<std::size_t> at, bool forward) const;
  bool Focusable(std::size_t index) const;
  // A target's place among `listed`, or none.
  std::optional<std::size_t> ListedAs(std::optional<std::size_t> index) const;
  // The target that stands for zone `source`, or none (absent).
  std::optional<std::size_t> Of(std::optional<std::size_t> source) const;
};

// The menu's zones, listed in table order; the keys visit `focusOrder`.
// With `present` (a flag per zone), the absent ones are left out: they take
// no click, tip, focus or screen reader, and hide nothing behind them.
Targets ZoneTargets(std::span<const HotZone> zones, std::span<const int> focusOrder,
                    const std::vector<bool>& present = {});
// The About window's labels; its links, in reading order (top to bottom,
// then left to right), are listed and visited.
Targets AboutTargets(std::span<const AboutControl> controls);

}  // namespace startboard
