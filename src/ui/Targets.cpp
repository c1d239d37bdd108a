#include "ui/Targets.h"

#include <algorithm>

namespace startboard {

std::optional<std::size_t> Targets::At(int x, int y, int dpi) const {
  for (std::size_t i = 0; i < frontToBack.size(); ++i) {
    if (frontToBack[i].twips.At(dpi).Contains(x, y)) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> Targets::Next(std::optional<std::size_t> at, bool forward) const {
  if (keyRing.empty()) return std::nullopt;
  const auto place = std::find(keyRing.begin(), keyRing.end(), at.value_or(frontToBack.size()));
  if (place == keyRing.end()) return forward ? keyRing.front() : keyRing.back();
  const auto from = static_cast<std::size_t>(place - keyRing.begin());
  return keyRing[(from + (forward ? 1 : keyRing.size() - 1)) % keyRing.size()];
}

bool Targets::Focusable(std::size_t index) const {
  return std::find(keyRing.begin(), keyRing.end(), index) != keyRing.end();
}

std::optional<std::size_t> Targets::ListedAs(std::optional<std::size_t> index) const {
  const auto place = std::find(listed.begin(), listed.end(), index.value_or(frontToBack.size()));
  if (place == listed.end()) return std::nullopt;
  return static_cast<std::size_t>(place - listed.begin());
}

std::optional<std::size_t> Targets::Of(std::optional<std::size_t> source) const {
  if (!source) return std::nullopt;
  const auto place = std::find_if(frontToBack.begin(), frontToBack.end(),
                                  [&](const Target& target) { return target.source == *source; });
  if (place == frontToBack.end()) return std::nullopt;
  return static_cast<std::size_t>(place - frontToBack.begin());
}

Targets ZoneTargets(std::span<const HotZone> zones, std::span<const int> focusOrder,
                    const std::vector<bool>& present) {
  Targets targets;
  std::vector<std::size_t> targetOf(zones.size(), zones.size());  // zones.size(): absent
  for (std::size_t i = 0; i < zones.size(); ++i) {
    if (i < present.size() && !present[i]) continue;
    targetOf[i] = targets.frontToBack.size();
    targets.listed.push_back(targets.frontToBack.size());
    targets.frontToBack.push_back(
        {zones[i].twips, zones[i].tooltip, zones[i].tooltip, zones[i].click, i});
  }
  for (const int zone : focusOrder) {
    const std::size_t target = targetOf[static_cast<std::size_t>(zone)];
    if (target < zones.size()) targets.keyRing.push_back(target);
  }
  return targets;
}

Targets AboutTargets(std::span<const AboutControl> controls) {
  Targets targets;
  // Picture boxes are windows of their own, and shapes take no mouse input.
  for (const AboutControl& control : controls) {
    if (control.kind != ControlKind::Label) continue;
    if (control.click.kind != ActionKind::None) {
      targets.listed.push_back(targets.frontToBack.size());
    }
    targets.frontToBack.push_back({control.twips, control.text, control.tooltip, control.click});
  }
  std::stable_sort(targets.listed.begin(), targets.listed.end(), [&](std::size_t a, std::size_t b) {
    const TwipRect& first = targets.frontToBack[a].twips;
    const TwipRect& second = targets.frontToBack[b].twips;
    return first.top != second.top ? first.top < second.top : first.left < second.left;
  });
  targets.keyRing = targets.listed;
  return targets;
}

}  // namespace startboard
