// The menu's zones drawn as they answer the pointer and the keyboard: the
// part of a zone that takes clicks drawn from the brand's hover picture while
// the pointer is over it or it has the focus, from its pressed picture while
// the button is held down on it, and a focus frame where there is no hover
// picture. A brand without those pictures and without the keyboard sees none
// of this.
#pragma once

#include <windows.h>

#include "brand/Data.h"
#include "shell/Handles.h"
#include "ui/Input.h"

namespace startboard {

class LitZones {
 public:
  static constexpr bool kUsed = brand::kMenuHover.Present() || brand::kMenuPressed.Present() ||
                                brand::kKeyboard || !brand::kLanguages.front().pages.empty();

  LitZones(const Window& window, ComApartment& com) : window_(window), com_(com) {}
  // The page shown: its hover and pressed pictures, made after the next paint.
  void SetPage(const Page& page);
  // Forgets the pictures made for another dpi; they are made again after
  // the next paint.
  void OnDpiChanged();
  // Makes the pictures, asked for by the first paint at a dpi.
  void OnLoadMessage(const Input& input);
  // A zone's state changed: its clickable part is drawn again if it looks
  // otherwise now.
  void Restyle(const Targets& targets, std::size_t index, TargetState before,
               TargetState now) const;
  // Draws the zones that are not plain over the picture just painted.
  void Paint(HDC dc, const RECT& dirty, const Input& input);

  // Posted after a paint: the lit pictures are made once the menu shows, so
  // that start-up decodes only what the first paint needs.
  static constexpr UINT kLoadMessage = WM_APP + 24;

 private:
  enum Look { kPlain, kHover, kPressed, kFrame };
  Look LookOf(TargetState state) const;
  // The part of a zone that takes clicks: its rectangle less those in front.
  GdiObject<HRGN> ClickablePart(const Targets& targets, std::size_t index) const;

  const Window& window_;
  ComApartment& com_;
  const Page* page_ = nullptr;
  Bitmap hover_;
  Bitmap pressed_;
  bool loadPosted_ = false;
};

}  // namespace startboard
