// The menu's zones as they answer the pointer and the keyboard: the part of a
// zone that takes clicks drawn from the brand's hover picture while the
// pointer is over it or it has the focus, from its pressed picture while the
// button is held down on it. A brand without those pictures and without the
// keyboard sees none of this: nothing lights up and nothing takes focus.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <span>

#include "brand/Data.h"
#include "shell/SystemLibrary.h"
#include "ui/Accessible.h"
#include "ui/ClickableLabels.h"
#include "ui/Gdi.h"

namespace startboard {

class ZoneLights final : private AccessibleItems {
 public:
  static constexpr bool kUsed =
      brand::kMenuHover.Present() || brand::kMenuPressed.Present() || brand::kKeyboard;

  // `language`: the zones and pictures of the language the user reads.
  void Attach(HWND owner, ComApartment& com, ClickableLabels<HotZone>& zones,
              const Language& language);
  // Forgets the pictures made for another dpi; they are made again after
  // the next paint.
  void SetDpi(int dpi);
  // The owner's messages: it watches the mouse and takes the keys it uses.
  std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Draws the lit zones over the plain picture the owner just painted.
  void Paint(HDC dc, const RECT& dirty);
  // The zone with the keyboard's focus (nullptr: none yet).
  const HotZone* Focused() const { return focus_; }
  std::span<const HotZone> Zones() const { return language_->zones; }

 private:
  // The zones as push buttons, for screen readers.
  std::size_t AccessibleCount() const override { return Zones().size(); }
  std::string_view AccessibleName(std::size_t index) const override;
  RECT AccessibleRect(std::size_t index) const override;
  std::optional<std::size_t> AccessibleFocus() const override;
  std::optional<std::size_t> AccessibleAt(POINT client) const override;

  // Which picture a zone is drawn from now, and whether it has a focus frame.
  enum Look { kPlain, kHover, kPressed, kFrame };
  Look LookOf(const HotZone& zone) const;
  using Looks = std::array<Look, brand::kZones.size()>;
  Looks AllLooks() const;
  // Repaints the zones whose look `before` differs from now, at once.
  void Repaint(const Looks& before);
  // The part of a zone that takes clicks: its rectangle less those in front.
  GdiObject<HRGN> ClickablePart(std::size_t index) const;
  const HotZone* ZoneAt(LPARAM lParam) const;
  void LoadPictures();
  bool OnKey(WPARAM key, LPARAM flags);
  void MoveFocus(bool forward);
  void SetState(const HotZone* hot, const HotZone* pressed, const HotZone* focus);

  HWND owner_ = nullptr;
  ComApartment* com_ = nullptr;
  ClickableLabels<HotZone>* zones_ = nullptr;
  const Language* language_ = &brand::kLanguages.front();
  int dpi_ = kDefaultDpi;
  Bitmap hover_;
  Bitmap pressed_;
  bool loadPosted_ = false;
  SystemLibrary oleacc_{L"oleacc.dll"};   // when a screen reader first asks
  bool tracking_ = false;                 // TrackMouseEvent asked for the leave
  const HotZone* hot_ = nullptr;          // under the pointer
  const HotZone* pressedZone_ = nullptr;  // the button went down on it
  const HotZone* focus_ = nullptr;        // the keyboard's
};

}  // namespace startboard
