// The windowless labels of a window, as the mouse sees them: the hand pointer
// over those with a command, their tooltips, and a click that runs the
// label's command, one at a time. The window's class has CS_DBLCLKS.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <optional>
#include <span>

#include "bench/Probe.h"
#include "brand/Data.h"
#include "ui/ClickTracker.h"
#include "ui/CommandGate.h"
#include "ui/Gdi.h"
#include "ui/Layout.h"
#include "ui/Screen.h"
#include "ui/Tooltips.h"
#include "ui/Win32Window.h"

namespace startboard {

// The window that owns the labels runs what a click on one asks for.
class ClickTarget {
 public:
  virtual void RunClick(const Action& action) = 0;

 protected:
  ~ClickTarget() = default;
};

template <class Item>
class ClickableLabels {
 public:
  // A table front to back: where labels overlap, the front one takes the mouse.
  explicit ClickableLabels(std::span<const Item> frontToBack) : items_(frontToBack) {}

  // Then SetDpi, before the window takes the mouse.
  void Attach(HWND owner, ClickTarget& target) {
    owner_ = owner;
    target_ = &target;
  }

  // Labels, pointer and tips at the window's dpi.
  void SetDpi(int dpi) {
    dpi_ = dpi;
    const int size = CursorSizeFor(dpi);
    Cursor hand(static_cast<HCURSOR>(LoadImageW(
        InstanceOf(owner_), MAKEINTRESOURCEW(brand::kCursorId), IMAGE_CURSOR, size, size, 0)));
    if (hand_ && GetCursor() == hand_.get()) SetCursor(hand.get());  // never destroy the one shown
    hand_ = std::move(hand);
    tooltips_.Reset();
  }

  // The result of a mouse message this handles, or nothing for the window's
  // own procedure to deal with.
  std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (owner_ == nullptr) return std::nullopt;
    switch (message) {
      case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) != owner_ || LOWORD(lParam) != HTCLIENT) break;
        ShowPointerAt(CursorClientPoint(owner_));
        return TRUE;
      case WM_MOUSEMOVE:
        // Again for the move itself: the position WM_SETCURSOR could see may
        // be another move's, and the last move is where the pointer rests.
        ShowPointerAt(Point(lParam));
        tooltips_.OnMouseMove(owner_, items_, At(lParam), lParam, dpi_);
        return 0;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        clicks_.Press(ClickableAt(Point(lParam)), message == WM_LBUTTONDBLCLK);
        if (clicks_.Pressed()) SetCapture(owner_);
        return 0;
      case WM_LBUTTONUP:
        OnButtonUp(lParam);
        return 0;
      case WM_CAPTURECHANGED:
        clicks_.Cancel();
        return 0;
      case WM_ENABLE:
        if (wParam == FALSE) clicks_.OutOfUse();
        break;
      default:
        break;
    }
    return std::nullopt;
  }

  // Runs a label's command as a click on it does: the keyboard's Enter.
  void Run(const Item& item) {
    if (item.click.kind == ActionKind::None) return;
    tooltips_.Pop();
    gate_.Run([&] { target_->RunClick(item.click); });
  }

  // Shows the tip of the label the keyboard's focus is on (nullptr: none).
  void ShowFocusTip(const Item* focused) { tooltips_.ShowFor(owner_, items_, focused, dpi_); }

  // Whether a label's command is still running.
  bool Busy() const { return gate_.Busy(); }

 private:
  static POINT Point(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
  const Item* At(LPARAM lParam) const {
    const POINT point = Point(lParam);
    return FrontmostAt(items_, point.x, point.y, dpi_);
  }
  void ShowPointerAt(POINT point) const {
    ShowCursorShape(ClickableAt(point) != nullptr ? hand_.get() : LoadCursorW(nullptr, IDC_ARROW));
  }
  const Item* ClickableAt(POINT point) const {
    const Item* item = FrontmostAt(items_, point.x, point.y, dpi_);
    return item != nullptr && item->click.kind != ActionKind::None ? item : nullptr;
  }

  void OnButtonUp(LPARAM lParam) {
    bench::Mark("click");
    if (!clicks_.Pressed()) return;
    const Item* clicked = clicks_.Release(At(lParam));
    ReleaseCapture();
    if (clicked != nullptr) Run(*clicked);
  }

  std::span<const Item> items_;
  HWND owner_ = nullptr;
  ClickTarget* target_ = nullptr;
  int dpi_ = kDefaultDpi;
  Cursor hand_;
  Tooltips tooltips_;
  ClickTracker<Item> clicks_;
  CommandGate gate_;
};

}  // namespace startboard
