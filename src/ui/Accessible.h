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

// What the window shows of its children.
class AccessibleItems {
 public:
  virtual std::size_t AccessibleCount() const = 0;
  virtual std::string_view AccessibleName(std::size_t index) const = 0;
  virtual RECT AccessibleRect(std::size_t index) const = 0;  // client pixels
  virtual bool AccessibleFocusable(std::size_t index) const = 0;
  virtual std::optional<std::size_t> AccessibleFocus() const = 0;
  virtual std::optional<std::size_t> AccessibleAt(POINT client) const = 0;

 protected:
  ~AccessibleItems() = default;
};

// The role and default action every child has.
struct AccessibleKind {
  long role;
  std::string_view action;
};
extern const AccessibleKind kPushButtons;  // ROLE_SYSTEM_PUSHBUTTON, "Press"
extern const AccessibleKind kLinks;        // ROLE_SYSTEM_LINK, "Jump"

class AccessibleObject;

// The client area's accessible object, made when a screen reader first asks.
// A screen reader in another process may hold it after the window is gone:
// Disconnect, when the window goes, cuts it off from the items, and every
// later call is answered with an error.
class AccessibleClient {
 public:
  AccessibleClient(const AccessibleItems& items, const AccessibleKind& kind)
      : items_(items), kind_(kind) {}
  ~AccessibleClient() { Disconnect(); }
  AccessibleClient(const AccessibleClient&) = delete;
  AccessibleClient& operator=(const AccessibleClient&) = delete;

  // The answer to WM_GETOBJECT for the client area, or 0 to leave the
  // window to the system's.
  LRESULT Answer(HWND owner, WPARAM wParam);
  void Disconnect();

 private:
  const AccessibleItems& items_;
  AccessibleKind kind_;
  AccessibleObject* object_ = nullptr;  // one reference held here
  // Loaded while the object may be in use: the answers refer to them.
  SystemLibrary oleacc_{L"oleacc.dll"};
  SystemLibrary ole32_{L"ole32.dll"};
};

}  // namespace startboard
