// Which page the menu shows and which of its zones apply to this machine:
// the first page chosen by condition, the pages opened since (for Back and
// Escape), each zone's `when` and `unless` asked of the shell, and which
// zone the keyboard's focus lands on when the page changes.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "brand/Types.h"
#include "shell/ShellServices.h"

namespace startboard {

// Whether every test holds (true for none).
bool AllHold(ShellServices& shell, std::span<const Condition> tests);

// A zone or first page applies: its `when` holds and its `unless` does not.
bool Applies(ShellServices& shell, std::span<const Condition> when,
             std::span<const Condition> unless);

class PageNavigator {
 public:
  // `pages`: the language's, the menu first; `menu` stands for them when
  // the brand has only its menu.
  PageNavigator(std::span<const Page> pages, const Page& menu)
      : pages_(pages.empty() ? std::span<const Page>(&menu, 1) : pages) {}

  // At start: the first page whose condition holds (the menu when none
  // does), with its zones' presence asked.
  void Start(ShellServices& shell);
  // Asks every condition of the page shown again (the window became active:
  // something may have been installed meanwhile). Says whether any zone
  // came or went.
  bool Refresh(ShellServices& shell);
  // Opens a page over the one shown (`from`: the zone that opened it); Back
  // returns to the one before. Each says whether the page changed.
  bool Open(ShellServices& shell, std::size_t page, std::optional<std::size_t> from = {});
  bool Back(ShellServices& shell);
  // The zone that opened the page Back last left, for the focus to return
  // to; none after Start or Open.
  std::optional<std::size_t> CameFrom() const { return cameFrom_; }
  // Where the focus goes on the page shown: to `wanted` while it is present
  // and the keys visit it, else to the first present zone they visit; none
  // where they visit none.
  std::optional<std::size_t> FocusZone(std::optional<std::size_t> wanted) const;
  // Escape goes back on any page but the first, where it quits.
  bool CanGoBack() const { return !history_.empty(); }

  const Page& Shown() const { return pages_[shown_]; }
  std::size_t ShownIndex() const { return shown_; }
  // Whether zone `index` of the page shown takes clicks, keys and screen
  // readers; an absent one is drawn from the page's `off` picture.
  bool Present(std::size_t index) const { return index < present_.size() && present_[index]; }
  const std::vector<bool>& PresentZones() const { return present_; }

 private:
  void Show(ShellServices& shell, std::size_t page);

  std::span<const Page> pages_;
  std::size_t shown_ = 0;
  struct Visit {
    std::size_t page;
    std::optional<std::size_t> from;  // the zone on it that opened the next
  };
  std::vector<Visit> history_;
  std::optional<std::size_t> cameFrom_;
  std::vector<bool> present_;
};

}  // namespace startboard
