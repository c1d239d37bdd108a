#include "ui/LitZones.h"

#include "bench/Probe.h"
#include "ui/Gdi.h"
#include "ui/Pictures.h"

namespace startboard {

void LitZones::SetPage(const Page& page) {
  page_ = &page;
  OnDpiChanged();
}

void LitZones::OnDpiChanged() {
  hover_.reset();
  pressed_.reset();
  loadPosted_ = false;
}

LitZones::Look LitZones::LookOf(TargetState state) const {
  if (state.held && (pressed_ || hover_)) return pressed_ ? kPressed : kHover;
  if ((state.hot || state.focused) && hover_) return kHover;
  return state.focused ? kFrame : kPlain;
}

GdiObject<HRGN> LitZones::ClickablePart(const Targets& targets, std::size_t index) const {
  const std::vector<Target>& zones = targets.frontToBack;
  const PixelRect own = window_.Px(zones[index].twips);
  GdiObject<HRGN> part(CreateRectRgn(own.left, own.top, own.right, own.bottom));
  for (std::size_t front = 0; front < index && part; ++front) {
    const PixelRect cover = window_.Px(zones[front].twips);
    const GdiObject<HRGN> hole(CreateRectRgn(cover.left, cover.top, cover.right, cover.bottom));
    CombineRgn(part.get(), part.get(), hole.get(), RGN_DIFF);
  }
  return part;
}

void LitZones::Restyle(const Targets& targets, std::size_t index, TargetState before,
                       TargetState now) const {
  if constexpr (!kUsed) return;
  if (LookOf(before) == LookOf(now)) return;
  const GdiObject<HRGN> part = ClickablePart(targets, index);
  InvalidateRgn(window_.Hwnd(), part.get(), FALSE);
}

void LitZones::OnLoadMessage(const Input& input) {
  const HINSTANCE instance = InstanceOf(window_.Hwnd());
  if (page_->hover.Present()) hover_ = LoadArt(com_, instance, page_->hover, window_.Dpi());
  if (page_->pressed.Present()) pressed_ = LoadArt(com_, instance, page_->pressed, window_.Dpi());
  // Whatever is not plain is drawn from them now.
  for (std::size_t i = 0; i < input.Present().frontToBack.size(); ++i) {
    if (input.StateOf(i) != TargetState{}) Restyle(input.Present(), i, {}, input.StateOf(i));
  }
}

void LitZones::Paint(HDC dc, const RECT& dirty, const Input& input) {
  if constexpr (!kUsed) return;
  if (!loadPosted_ && (page_->hover.Present() || page_->pressed.Present())) {
    loadPosted_ = PostMessageW(window_.Hwnd(), kLoadMessage, 0, 0) != FALSE;
  }
  const MemoryDc source(CreateCompatibleDC(dc));
  const Targets& targets = input.Present();
  for (std::size_t i = 0; i < targets.frontToBack.size(); ++i) {
    const Look look = LookOf(input.StateOf(i));
    if (look == kPlain) continue;
    const GdiObject<HRGN> part = ClickablePart(targets, i);
    SelectClipRgn(dc, part.get());
    if (look == kFrame) {
      RECT frame = ToRect(window_.Px(targets.frontToBack[i].twips));
      InflateRect(&frame, -2, -2);
      DrawFocusRect(dc, &frame);
    } else {
      const Selection picture(source.get(), (look == kPressed ? pressed_ : hover_).get());
      BitBlt(dc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
             source.get(), dirty.left, dirty.top, SRCCOPY);
      if (look == kHover) bench::Mark("lit");
    }
  }
  SelectClipRgn(dc, nullptr);
}

}  // namespace startboard
