#include "launch/Pages.h"

#include <algorithm>

#include "launch/DiscPaths.h"

namespace startboard {

namespace {

bool Holds(ShellServices& shell, const Condition& test) {
  switch (test.kind) {
    case ConditionKind::Windows:
      return shell.SystemVersion().AtLeast(test.atLeast);
    case ConditionKind::Machine:
      return (test.machines & shell.NativeMachine()) != 0;
    case ConditionKind::DiscFile:
      return shell.PathExists(CdPath(shell, test.path));
    case ConditionKind::RegistryKey:
      return shell.RegistryHas(test.hive, test.path, std::nullopt, test.view32);
    case ConditionKind::RegistryValue:
      return shell.RegistryHas(test.hive, test.path, test.value, test.view32);
  }
  return false;
}

}  // namespace

bool AllHold(ShellServices& shell, std::span<const Condition> tests) {
  return std::all_of(tests.begin(), tests.end(),
                     [&shell](const Condition& test) { return Holds(shell, test); });
}

bool Applies(ShellServices& shell, std::span<const Condition> when,
             std::span<const Condition> unless) {
  return AllHold(shell, when) && (unless.empty() || !AllHold(shell, unless));
}

void PageNavigator::Start(ShellServices& shell) {
  history_.clear();
  cameFrom_.reset();
  std::size_t first = 0;
  for (std::size_t index = 1; index < pages_.size(); ++index) {
    const Page& page = pages_[index];
    if ((!page.when.empty() || !page.unless.empty()) && Applies(shell, page.when, page.unless)) {
      first = index;
      break;
    }
  }
  Show(shell, first);
}

bool PageNavigator::Refresh(ShellServices& shell) {
  const std::vector<bool> before = present_;
  Show(shell, shown_);
  return present_ != before;
}

bool PageNavigator::Open(ShellServices& shell, std::size_t page, std::optional<std::size_t> from) {
  if (page >= pages_.size() || page == shown_) return false;
  history_.push_back({shown_, from});
  cameFrom_.reset();
  Show(shell, page);
  return true;
}

bool PageNavigator::Back(ShellServices& shell) {
  if (history_.empty()) return false;
  const Visit visit = history_.back();
  history_.pop_back();
  cameFrom_ = visit.from;
  Show(shell, visit.page);
  return true;
}

std::optional<std::size_t> PageNavigator::FocusZone(std::optional<std::size_t> wanted) const {
  const auto visited = [this](int zone) { return Present(static_cast<std::size_t>(zone)); };
  const std::span<const int> order = Shown().focusOrder;
  if (wanted && std::find(order.begin(), order.end(), static_cast<int>(*wanted)) != order.end() &&
      Present(*wanted)) {
    return wanted;
  }
  const auto first = std::find_if(order.begin(), order.end(), visited);
  if (first == order.end()) return std::nullopt;
  return static_cast<std::size_t>(*first);
}

void PageNavigator::Show(ShellServices& shell, std::size_t page) {
  shown_ = page;
  const auto zones = pages_[page].zones;
  present_.assign(zones.size(), true);
  for (std::size_t index = 0; index < zones.size(); ++index) {
    present_[index] = Applies(shell, zones[index].when, zones[index].unless);
  }
}

}  // namespace startboard
