#include "ui/ZoneLights.h"

#include <oleacc.h>

#include <algorithm>

#include "bench/Probe.h"
#include "ui/Layout.h"
#include "ui/Pictures.h"

namespace startboard {

namespace {

// Posted after a paint: the lit pictures are made once the menu shows, so
// that start-up decodes only what the first paint needs.
constexpr UINT kLoadMessage = WM_APP + 24;

// A zone's index among `zones`, the same in every language.
std::size_t IndexOf(std::span<const HotZone> zones, const HotZone& zone) {
  return static_cast<std::size_t>(&zone - zones.data());
}

// The place in kFocusOrder of a zone, or none when the keys never visit it.
std::optional<std::size_t> OrderOf(std::span<const HotZone> zones, const HotZone* zone) {
  if (zone == nullptr) return std::nullopt;
  const auto* found = std::find(brand::kFocusOrder.begin(), brand::kFocusOrder.end(),
                                static_cast<int>(IndexOf(zones, *zone)));
  if (found == brand::kFocusOrder.end()) return std::nullopt;
  return static_cast<std::size_t>(found - brand::kFocusOrder.begin());
}

}  // namespace

void ZoneLights::Attach(HWND owner, ComApartment& com, ClickableLabels<HotZone>& zones,
                        const Language& language) {
  owner_ = owner;
  com_ = &com;
  zones_ = &zones;
  language_ = &language;
}

void ZoneLights::SetDpi(int dpi) {
  dpi_ = dpi;
  hover_.reset();
  pressed_.reset();
  loadPosted_ = false;
}

ZoneLights::Look ZoneLights::LookOf(const HotZone& zone) const {
  if (&zone == pressedZone_ && &zone == hot_ && (pressed_ || hover_)) {
    return pressed_ ? kPressed : kHover;
  }
  if ((&zone == hot_ || &zone == focus_) && hover_) return kHover;
  return &zone == focus_ ? kFrame : kPlain;
}

ZoneLights::Looks ZoneLights::AllLooks() const {
  Looks looks{};
  for (std::size_t i = 0; i < looks.size(); ++i) looks[i] = LookOf(Zones()[i]);
  return looks;
}

GdiObject<HRGN> ZoneLights::ClickablePart(std::size_t index) const {
  const PixelRect own = Zones()[index].twips.At(dpi_);
  GdiObject<HRGN> part(CreateRectRgn(own.left, own.top, own.right, own.bottom));
  for (std::size_t front = 0; front < index && part; ++front) {
    const PixelRect cover = Zones()[front].twips.At(dpi_);
    const GdiObject<HRGN> hole(CreateRectRgn(cover.left, cover.top, cover.right, cover.bottom));
    CombineRgn(part.get(), part.get(), hole.get(), RGN_DIFF);
  }
  return part;
}

void ZoneLights::Repaint(const Looks& before) {
  const Looks now = AllLooks();
  bool any = false;
  for (std::size_t i = 0; i < now.size(); ++i) {
    if (now[i] == before[i]) continue;
    const GdiObject<HRGN> part = ClickablePart(i);
    InvalidateRgn(owner_, part.get(), FALSE);
    any = true;
  }
  // Drawn now rather than when the queue is empty: the pointer moving on
  // keeps the queue busy, and the zone should light at once.
  if (any) UpdateWindow(owner_);
}

void ZoneLights::SetState(const HotZone* hot, const HotZone* pressed, const HotZone* focus) {
  if (hot == hot_ && pressed == pressedZone_ && focus == focus_) return;
  const Looks before = AllLooks();
  const HotZone* focusBefore = focus_;
  hot_ = hot;
  pressedZone_ = pressed;
  focus_ = focus;
  Repaint(before);
  if (focus_ != focusBefore && focus_ != nullptr) {
    zones_->ShowFocusTip(focus_);
    // Screen readers follow the focus among the window's children.
    NotifyWinEvent(EVENT_OBJECT_FOCUS, owner_, OBJID_CLIENT,
                   static_cast<LONG>(IndexOf(Zones(), *focus_) + 1));
  }
}

const HotZone* ZoneLights::ZoneAt(LPARAM lParam) const {
  const auto* zone =
      FrontmostAt<HotZone>(Zones(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), dpi_);
  return zone != nullptr && zone->click.kind != ActionKind::None ? zone : nullptr;
}

void ZoneLights::LoadPictures() {
  const Looks before = AllLooks();
  const HINSTANCE instance = InstanceOf(owner_);
  if (language_->hover.Present()) hover_ = LoadArt(*com_, instance, language_->hover, dpi_);
  if (language_->pressed.Present()) {
    pressed_ = LoadArt(*com_, instance, language_->pressed, dpi_);
  }
  Repaint(before);
}

void ZoneLights::Paint(HDC dc, const RECT& dirty) {
  if constexpr (!kUsed) return;
  if (!loadPosted_ && (language_->hover.Present() || language_->pressed.Present())) {
    loadPosted_ = PostMessageW(owner_, kLoadMessage, 0, 0) != FALSE;
  }
  const Looks looks = AllLooks();
  const MemoryDc source(CreateCompatibleDC(dc));
  for (std::size_t i = 0; i < looks.size(); ++i) {
    if (looks[i] == kPlain) continue;
    const GdiObject<HRGN> part = ClickablePart(i);
    SelectClipRgn(dc, part.get());
    if (looks[i] == kFrame) {
      RECT frame = ToRect(Zones()[i].twips.At(dpi_));
      InflateRect(&frame, -2, -2);
      DrawFocusRect(dc, &frame);
    } else {
      const Selection picture(source.get(), (looks[i] == kPressed ? pressed_ : hover_).get());
      BitBlt(dc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
             source.get(), dirty.left, dirty.top, SRCCOPY);
      if (looks[i] == kHover) bench::Mark("lit");
    }
  }
  SelectClipRgn(dc, nullptr);
}

std::string_view ZoneLights::AccessibleName(std::size_t index) const {
  return Zones()[index].tooltip;
}

RECT ZoneLights::AccessibleRect(std::size_t index) const {
  return ToRect(Zones()[index].twips.At(dpi_));
}

std::optional<std::size_t> ZoneLights::AccessibleFocus() const {
  if (focus_ == nullptr) return std::nullopt;
  return IndexOf(Zones(), *focus_);
}

std::optional<std::size_t> ZoneLights::AccessibleAt(POINT client) const {
  const auto* zone = FrontmostAt<HotZone>(Zones(), client.x, client.y, dpi_);
  if (zone == nullptr) return std::nullopt;
  return IndexOf(Zones(), *zone);
}

void ZoneLights::MoveFocus(bool forward) {
  if (brand::kFocusOrder.empty()) return;
  const std::size_t next = NextInRing(OrderOf(Zones(), focus_), brand::kFocusOrder.size(), forward);
  SetState(hot_, pressedZone_, &Zones()[static_cast<std::size_t>(brand::kFocusOrder[next])]);
}

bool ZoneLights::OnKey(WPARAM key, LPARAM flags) {
  const bool repeat = (flags & (1 << 30)) != 0;
  switch (key) {
    case VK_TAB:
      MoveFocus(GetKeyState(VK_SHIFT) >= 0);
      return true;
    case VK_RIGHT:
    case VK_DOWN:
      MoveFocus(true);
      return true;
    case VK_LEFT:
    case VK_UP:
      MoveFocus(false);
      return true;
    case VK_RETURN:
    case VK_SPACE:
      if (focus_ != nullptr && !repeat) zones_->Run(*focus_);
      return true;
    case VK_ESCAPE: {
      const std::span<const HotZone> zones = Zones();
      const auto quit = std::find_if(zones.begin(), zones.end(), [](const HotZone& z) {
        return z.click.kind == ActionKind::Quit;
      });
      if (quit != zones.end() && !repeat) zones_->Run(*quit);
      return true;
    }
    default:
      return false;
  }
}

std::optional<LRESULT> ZoneLights::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if constexpr (!kUsed) return std::nullopt;
  if (owner_ == nullptr) return std::nullopt;
  switch (message) {
    case kLoadMessage:
      LoadPictures();
      return 0;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, owner_, 0};
        tracking_ = TrackMouseEvent(&leave) != FALSE;
      }
      SetState(ZoneAt(lParam), pressedZone_, focus_);
      break;
    case WM_MOUSELEAVE:
      tracking_ = false;
      SetState(nullptr, pressedZone_, focus_);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetState(ZoneAt(lParam), ZoneAt(lParam), focus_);
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      SetState(hot_, nullptr, focus_);
      break;
    case WM_ENABLE:
      // A message box or the About window is over the menu: nothing stays
      // lit behind it, and the pointer lights a zone again when it moves.
      if (wParam == FALSE) {
        SetState(nullptr, nullptr, focus_);
        zones_->ShowFocusTip(nullptr);
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        SetState(nullptr, nullptr, focus_);
        zones_->ShowFocusTip(nullptr);
      } else if (focus_ != nullptr) {
        zones_->ShowFocusTip(focus_);  // back in front: the focus shows where it is
      }
      break;
    case WM_GETOBJECT:
      if constexpr (brand::kKeyboard) {
        if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
          return AnswerAccessible(owner_, *this, {ROLE_SYSTEM_PUSHBUTTON, "Press"}, wParam,
                                  oleacc_);
        }
      }
      break;
    case WM_KEYDOWN:
      if (brand::kKeyboard && OnKey(wParam, lParam)) return 0;
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace startboard
