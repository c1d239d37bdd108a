#include "ui/Input.h"

#include <windowsx.h>

#include <utility>
#include <vector>

#include "bench/Probe.h"
#include "ui/Gdi.h"
#include "ui/Layout.h"

namespace startboard {

void Input::SetTargets(Targets targets) {
  targets_ = std::move(targets);
  clicks_.Cancel();
  hot_ = pressed_ = focus_ = std::nullopt;
  focusShown_ = false;
  tooltips_.Reset();
}

void Input::Focus(std::optional<std::size_t> target, bool shown) {
  if (keys_ == Keys::None) return;  // the system's object speaks for the window
  SetState(hot_, pressed_, target, shown);
}

void Input::OnDpiChanged() {
  const int size = CursorSizeFor(window_.Dpi());
  Cursor hand(static_cast<HCURSOR>(LoadImageW(InstanceOf(window_.Hwnd()),
                                              MAKEINTRESOURCEW(brand::kCursorId), IMAGE_CURSOR,
                                              size, size, 0)));
  if (hand_ && GetCursor() == hand_.get()) SetCursor(hand.get());  // never destroy the one shown
  hand_ = std::move(hand);
  tooltips_.Reset();
}

TargetState Input::StateOf(std::size_t index) const {
  return {.hot = hot_ == index,
          .held = hot_ == index && pressed_ == index,
          .focused = focusShown_ && focus_ == index};
}

Input::Index Input::At(LPARAM lParam) const {
  return targets_.At(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), window_.Dpi());
}

Input::Index Input::ClickableAt(Index index) const {
  return index && targets_.frontToBack[*index].Clickable() ? index : std::nullopt;
}

void Input::SetState(Index hot, Index pressed, Index focus, bool focusShown) {
  if (hot == hot_ && pressed == pressed_ && focus == focus_ && focusShown == focusShown_) return;
  std::vector<TargetState> before;
  for (std::size_t i = 0; i < targets_.frontToBack.size(); ++i) before.push_back(StateOf(i));
  const Index focusBefore = std::exchange(focus_, focus);
  const bool shownBefore = std::exchange(focusShown_, focusShown);
  hot_ = hot;
  pressed_ = pressed;
  bool changed = false;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (StateOf(i) == before[i]) continue;
    owner_.Restyle(i, before[i], StateOf(i));
    changed = true;
  }
  // Drawn now rather than when the queue is empty: the pointer moving on
  // keeps the queue busy, and the zone should light at once.
  if (changed) UpdateWindow(window_.Hwnd());
  if (focus_ && focusShown_ && (focus_ != focusBefore || !shownBefore)) ShowFocusTip(focus_);
  if (focus_ != focusBefore && focus_) {
    // Screen readers follow the focus among the window's children, shown or not.
    if (const Index listed = targets_.ListedAs(focus_)) {
      NotifyWinEvent(EVENT_OBJECT_FOCUS, window_.Hwnd(), OBJID_CLIENT,
                     static_cast<LONG>(*listed) + 1);
    }
  }
}

void Input::ShowPointer(Index under) const {
  ShowCursorShape(ClickableAt(under) ? hand_.get() : LoadCursorW(nullptr, IDC_ARROW));
}

void Input::TrackLeave() {
  if (tracking_) return;
  TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, window_.Hwnd(), 0};
  tracking_ = TrackMouseEvent(&leave) != FALSE;
}

void Input::OnMouseLeave() {
  tracking_ = false;
  // Wine posts the leave from a timer: the pointer may be back by now, and
  // no move may come to light the zone it rests on again. Not while a box
  // or the About window has the window disabled: nothing is lit behind it.
  POINT screen{};
  GetCursorPos(&screen);
  Index hot;
  if (IsWindowEnabled(window_.Hwnd()) != FALSE && WindowFromPoint(screen) == window_.Hwnd()) {
    const POINT at = CursorClientPoint(window_.Hwnd());
    hot = ClickableAt(targets_.At(at.x, at.y, window_.Dpi()));
    TrackLeave();
  }
  SetState(hot, pressed_, focus_);
}

void Input::OnMouseMove(WPARAM buttons, LPARAM position) {
  TrackLeave();
  // A press whose release went elsewhere, unseen, came to nothing.
  Index pressed = pressed_;
  if ((buttons & MK_LBUTTON) == 0) {
    clicks_.Cancel();
    pressed.reset();
  }
  const Index under = At(position);
  // Again for the move itself: the position WM_SETCURSOR could see may be
  // another move's, and the last move is where the pointer rests.
  ShowPointer(under);
  tooltips_.OnMouseMove(window_.Hwnd(), std::span<const Target>(targets_.frontToBack),
                        under ? &targets_.frontToBack[*under] : nullptr, position, window_.Dpi());
  SetState(ClickableAt(under), pressed, focus_);
}

void Input::OnButtonDown(LPARAM position, bool second) {
  const Index pressed = ClickableAt(At(position));
  clicks_.Press(pressed ? &targets_.frontToBack[*pressed] : nullptr, second);
  if (clicks_.Pressed()) SetCapture(window_.Hwnd());
  SetState(pressed, pressed, focus_);
}

void Input::OnButtonUp(LPARAM position) {
  bench::Mark("click");
  const Index under = At(position);
  SetState(ClickableAt(under), std::nullopt, focus_);
  if (!clicks_.Pressed()) return;
  const Target* clicked = clicks_.Release(under ? &targets_.frontToBack[*under] : nullptr);
  if (GetCapture() == window_.Hwnd()) ReleaseCapture();
  if (clicked != nullptr) {
    Run(static_cast<std::size_t>(clicked - targets_.frontToBack.data()), false);
  }
}

void Input::OnCaptureChanged() {
  // Windows takes the capture away when the window loses the foreground
  // while it is shown (Wine does so as the X focus settles). The button
  // still down, the press stands: its release over the same target is
  // still a click, and the window sees it without the capture too.
  if (GetKeyState(VK_LBUTTON) < 0) return;
  clicks_.Cancel();
  SetState(hot_, std::nullopt, focus_);
}

void Input::OutOfUse() {
  clicks_.OutOfUse();
  SetState(std::nullopt, std::nullopt, focus_);
  tooltips_.Reset();
}

void Input::ShowFocusTip(Index index) {
  if (keys_ != Keys::All) return;
  tooltips_.ShowFor(window_.Hwnd(), std::span<const Target>(targets_.frontToBack),
                    index ? &targets_.frontToBack[*index] : nullptr, window_.Dpi());
}

void Input::Run(std::size_t index, bool byKeys) {
  // A copy: a command that turns the page replaces the targets.
  const Action click = targets_.frontToBack[index].click;
  if (click.kind == ActionKind::None) return;
  tooltips_.Pop();
  gate_.Run([&] { owner_.RunClick(click, {.target = index, .byKeys = byKeys}); });
}

bool Input::OnKey(WPARAM key, LPARAM flags) {
  if (keys_ == Keys::None) return false;
  const bool repeat = (flags & (1 << 30)) != 0;
  const bool all = keys_ == Keys::All;
  // A key shows the focus where it is, or moves it on from there.
  switch (key) {
    case VK_TAB:
      SetState(hot_, pressed_, targets_.Next(focus_, GetKeyState(VK_SHIFT) >= 0), true);
      return true;
    case VK_RIGHT:
    case VK_DOWN:
    case VK_LEFT:
    case VK_UP:
      if (all) {
        SetState(hot_, pressed_, targets_.Next(focus_, key == VK_RIGHT || key == VK_DOWN), true);
      }
      return all;
    case VK_SPACE:
    case VK_RETURN:
      if (key == VK_SPACE && !all) return false;
      if (focus_ && !repeat) {
        SetState(hot_, pressed_, focus_, true);
        Run(*focus_, true);
      }
      return true;
    case VK_ESCAPE:
      if (!repeat) owner_.OnEscape();
      return true;
    default:
      return false;
  }
}

std::optional<LRESULT> Input::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = window_.Hwnd();
  switch (message) {
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) != window || LOWORD(lParam) != HTCLIENT) break;
      {
        // WM_SETCURSOR comes before its move is taken from the queue: where
        // the pointer is now, not where the last message says.
        const POINT at = CursorClientPoint(window);
        ShowPointer(targets_.At(at.x, at.y, window_.Dpi()));
      }
      return TRUE;
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, lParam);
      return 0;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(lParam, message == WM_LBUTTONDBLCLK);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(lParam);
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged();
      return 0;
    case WM_ENABLE:
      // A message box or the About window is over the window: nothing stays
      // lit or tipped behind it, and no tip comes up there later.
      if (wParam == FALSE) OutOfUse();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        SetState(std::nullopt, std::nullopt, focus_);
        ShowFocusTip(std::nullopt);
      } else if (focusShown_) {
        ShowFocusTip(focus_);  // back in front: the focus shows where it is
      }
      break;
    case WM_KEYDOWN:
      if (OnKey(wParam, lParam)) return 0;
      break;
    case WM_GETOBJECT:
      if (keys_ != Keys::None && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        if (const LRESULT answer = accessible_.Answer(window, wParam)) return answer;
      }
      break;
    case WM_DESTROY:
      accessible_.Disconnect();
      break;
    default:
      break;
  }
  return std::nullopt;
}

std::string_view Input::AccessibleName(std::size_t index) const {
  return targets_.frontToBack[targets_.listed[index]].name;
}

RECT Input::AccessibleRect(std::size_t index) const {
  return ToRect(window_.Px(targets_.frontToBack[targets_.listed[index]].twips));
}

bool Input::AccessibleFocusable(std::size_t index) const {
  return targets_.Focusable(targets_.listed[index]);
}

std::optional<std::size_t> Input::AccessibleFocus() const { return targets_.ListedAs(focus_); }

std::optional<std::size_t> Input::AccessibleAt(POINT client) const {
  return targets_.ListedAs(targets_.At(client.x, client.y, window_.Dpi()));
}

}  // namespace startboard
