// The windowless labels of a window, as the mouse sees them: the hand pointer
// over those with a command, their tooltips, and a click (press and release
// over the same label) that runs the label's command, one at a time.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <optional>
#include <span>

#include "app/BenchProbe.h"
#include "app/resource.h"
#include "shell/Win32Shell.h"
#include "ui/CommandGate.h"
#include "ui/Win32Window.h"

namespace startboard {

template <class Item>
class ClickableLabels {
 public:
  // The label that takes the mouse at a client point, or nullptr.
  using HitTest = const Item* (*)(int x, int y);

  ClickableLabels(std::span<const Item> frontToBack, HitTest hitTest)
      : items_(frontToBack), hitTest_(hitTest) {}

  void Attach(HWND owner, Win32Shell& shell) {
    owner_ = owner;
    shell_ = &shell;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    hand_ = LoadCursorW(instance, MAKEINTRESOURCEW(IDC_HAND_CURSOR));
  }

  // The result of a mouse message this handles, or nothing for the window's
  // own procedure to deal with.
  std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (owner_ == nullptr) return std::nullopt;
    switch (message) {
      case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) != owner_ || LOWORD(lParam) != HTCLIENT) break;
        ShowCursorShape(ClickableAt(MessageClientPoint(owner_)) != nullptr
                            ? hand_
                            : LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
      case WM_MOUSEMOVE:
        tooltips_.OnMouseMove(owner_, *shell_, items_, At(lParam), lParam);
        return 0;
      case WM_LBUTTONDOWN:
        pressed_ = ClickableAt(Point(lParam));
        if (pressed_ != nullptr) SetCapture(owner_);
        return 0;
      case WM_LBUTTONUP:
        OnButtonUp(lParam);
        return 0;
      case WM_CAPTURECHANGED:
        pressed_ = nullptr;
        return 0;
      default:
        break;
    }
    return std::nullopt;
  }

  // Whether a label's command is still running.
  bool Busy() const { return gate_.Busy(); }

 private:
  static POINT Point(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
  const Item* At(LPARAM lParam) const {
    const POINT point = Point(lParam);
    return hitTest_(point.x, point.y);
  }
  const Item* ClickableAt(POINT point) const {
    const Item* item = hitTest_(point.x, point.y);
    return item != nullptr && item->click != nullptr ? item : nullptr;
  }

  void OnButtonUp(LPARAM lParam) {
    bench::Mark("click");
    const Item* pressed = pressed_;
    if (pressed == nullptr) return;
    ReleaseCapture();  // clears pressed_ through WM_CAPTURECHANGED
    if (At(lParam) != pressed) return;
    tooltips_.Pop();
    gate_.Run(pressed->click, *shell_);
  }

  std::span<const Item> items_;
  HitTest hitTest_;
  HWND owner_ = nullptr;
  Win32Shell* shell_ = nullptr;
  HCURSOR hand_ = nullptr;
  Tooltips tooltips_;
  const Item* pressed_ = nullptr;
  CommandGate gate_;
};

}  // namespace startboard
