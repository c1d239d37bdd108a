// A window's client area as screen readers see it (Active Accessibility,
// which UI Automation reads too): a list of simple children of one role,
// each named, the focused one marked. The menu's zones are push buttons,
// the About window's links are links.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "shell/SystemLibrary.h"

namespace startboard {

// What the window shows of its children; it lives as long as the window.
class AccessibleItems {
 public:
  virtual std::size_t AccessibleCount() const = 0;
  virtual std::string_view AccessibleName(std::size_t index) const = 0;
  virtual RECT AccessibleRect(std::size_t index) const = 0;  // client pixels
  virtual std::optional<std::size_t> AccessibleFocus() const = 0;
  virtual std::optional<std::size_t> AccessibleAt(POINT client) const = 0;

 protected:
  ~AccessibleItems() = default;
};

// The role and default action every child has: ROLE_SYSTEM_PUSHBUTTON and
// "Press", ROLE_SYSTEM_LINK and "Jump".
struct AccessibleKind {
  long role;
  std::string_view action;
};

// The answer to WM_GETOBJECT for the client area: a new accessible object
// over `items`, or 0 to leave the window to the system's. `oleacc` stays
// loaded while the window lives: the answer refers to it.
LRESULT AnswerAccessible(HWND owner, const AccessibleItems& items, const AccessibleKind& kind,
                         WPARAM wParam, SystemLibrary& oleacc);

}  // namespace startboard
