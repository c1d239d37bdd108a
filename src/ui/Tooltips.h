// A window's tooltips over its table of labels.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

#include "brand/Geometry.h"
#include "shell/SystemLibrary.h"

namespace startboard {

// A window's tooltips: one control with a tool per item that has a tooltip.
// It is created on the first mouse move, so the common controls are loaded
// once somebody points at the window, not before its first paint.
class Tooltips {
 public:
  // Handles the owner's WM_MOUSEMOVE; `under` is the item under the mouse.
  // Items are front to back: the control picks the first tool under the
  // mouse. A move is passed on only when it crosses into another item (or
  // out of all): within one item it changes nothing for the tip, and every
  // move passed on costs the control a timer reset.
  template <class Item>
  void OnMouseMove(HWND owner, std::span<const Item> frontToBack, const Item* under,
                   LPARAM position, int dpi) {
    if (!created_) {
      Create(owner, frontToBack, dpi);
    } else if (under == under_) {
      return;
    }
    under_ = under;
    Relay(owner, position);
  }
  // Shows the tip of the item the keyboard's focus is on below it, where the
  // pointer cannot be asked to rest; nullptr hides it.
  template <class Item>
  void ShowFor(HWND owner, std::span<const Item> frontToBack, const Item* focused, int dpi) {
    if (focused == nullptr || focused->tooltip.empty()) {
      Track(owner, nullptr, {});
      return;
    }
    if (!created_) Create(owner, frontToBack, dpi);
    const PixelRect rect = focused->twips.At(dpi);
    Track(owner, &rect, focused->tooltip);
  }
  // Hides a tip that would otherwise stay up over a command's message box.
  void Pop() const;
  // Forgets the tools, for a new dpi or while a box or the About window is
  // over the owner (a tip still due would come up there, and the control
  // keeps its timer when deactivated): they are made again on the next move.
  void Reset();

 private:
  template <class Item>
  void Create(HWND owner, std::span<const Item> frontToBack, int dpi) {
    created_ = true;
    if (!CreateControl(owner)) return;
    for (std::size_t i = 0; i < frontToBack.size(); ++i) {
      if (frontToBack[i].tooltip.empty()) continue;
      Add(owner, static_cast<UINT>(i), frontToBack[i].twips.At(dpi), frontToBack[i].tooltip);
    }
  }
  // Loads and registers the common controls, then makes the control.
  bool CreateControl(HWND owner);
  // The focus's tip: a tool of its own that the control shows where told.
  void Track(HWND owner, const PixelRect* below, std::string_view text);
  void Add(HWND owner, UINT id, const PixelRect& rect, std::string_view text) const;
  void Relay(HWND owner, LPARAM position) const;

  // By name: the manifest's activation context picks version 6.
  SystemLibrary comctl32_{L"comctl32.dll", SystemLibrary::Source::SideBySide};
  HWND control_ = nullptr;  // owned by its owner window, destroyed with it
  bool created_ = false;
  const void* under_ = nullptr;
  bool tracking_ = false;  // the focus's tool is added and shown
};

}  // namespace startboard
