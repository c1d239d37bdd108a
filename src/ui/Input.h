// The one way the mouse, the keys and screen readers reach a window's
// targets. Each mouse message is hit-tested once; the answer sets what is
// under the pointer and held down, the pointer's shape, the tip and the click.
// The keys move one focus round the targets' ring, and screen readers read
// the same targets. The window's class has CS_DBLCLKS.
#pragma once

#include <windows.h>

#include <optional>

#include "shell/Handles.h"
#include "ui/Accessible.h"
#include "ui/ClickTracker.h"
#include "ui/CommandGate.h"
#include "ui/Targets.h"
#include "ui/Tooltips.h"
#include "ui/Win32Window.h"

namespace startboard {

// How a target is drawn now, as far as input goes.
struct TargetState {
  bool hot = false;      // under the pointer
  bool held = false;     // the button went down on it and the pointer is over it
  bool focused = false;  // the keys' focus
  bool operator==(const TargetState&) const = default;
};

// Where a command came from: the target run, and whether a key ran it (a
// page it opens then shows the focus).
struct Origin {
  std::size_t target = 0;
  bool byKeys = false;
};

// What the window does with what input asks for.
class InputOwner {
 public:
  virtual void RunClick(const Action& action, Origin origin) = 0;
  // A target's state changed: the window draws it again if it shows that.
  virtual void Restyle(std::size_t index, TargetState before, TargetState now) = 0;
  virtual void OnEscape() = 0;

 protected:
  ~InputOwner() = default;
};

class Input final : private AccessibleItems {
 public:
  enum class Keys {
    None,         // the window takes no keys and leaves screen readers to the system
    TabAndEnter,  // Tab, Shift+Tab, Enter and Escape
    All,          // and the arrows, Space as Enter, and the focus shows its tip
  };
  Input(const Window& window, InputOwner& owner, Keys keys, const AccessibleKind& kind)
      : window_(window), owner_(owner), keys_(keys), accessible_(*this, kind) {}

  // The targets present now; the focus and every state start afresh.
  void SetTargets(Targets targets);
  // Puts the focus on a target, drawn there with `shown`, else seen only by
  // screen readers (a page the mouse opened) until a key is pressed.
  void Focus(std::optional<std::size_t> target, bool shown);
  // The pointer's shape and the tips for the window's dpi.
  void OnDpiChanged();
  // The result of a mouse, key or screen-reader message, or nothing for the
  // window's own procedure (which sees WM_ENABLE, WM_ACTIVATE and WM_DESTROY
  // after this has).
  std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam);

  const Targets& Present() const { return targets_; }
  TargetState StateOf(std::size_t index) const;
  std::optional<std::size_t> Focused() const { return focus_; }
  bool FocusShown() const { return focusShown_; }
  // Runs a target's command, as a click on it (or a key) does.
  void Run(std::size_t index, bool byKeys);
  // Whether a command is still running.
  bool Busy() const { return gate_.Busy(); }

 private:
  std::size_t AccessibleCount() const override { return targets_.listed.size(); }
  std::string_view AccessibleName(std::size_t index) const override;
  RECT AccessibleRect(std::size_t index) const override;
  bool AccessibleFocusable(std::size_t index) const override;
  std::optional<std::size_t> AccessibleFocus() const override;
  std::optional<std::size_t> AccessibleAt(POINT client) const override;

  using Index = std::optional<std::size_t>;
  Index At(LPARAM lParam) const;
  Index ClickableAt(Index index) const;
  void SetState(Index hot, Index pressed, Index focus) {
    SetState(hot, pressed, focus, focusShown_);
  }
  void SetState(Index hot, Index pressed, Index focus, bool focusShown);
  void ShowPointer(Index under) const;
  void TrackLeave();
  void OnMouseLeave();
  void OnMouseMove(WPARAM buttons, LPARAM position);
  void OnButtonDown(LPARAM position, bool second);
  void OnButtonUp(LPARAM position);
  void OnCaptureChanged();
  void OutOfUse();
  void ShowFocusTip(Index index);
  bool OnKey(WPARAM key, LPARAM flags);

  const Window& window_;
  InputOwner& owner_;
  Keys keys_;
  Targets targets_;
  Cursor hand_;
  Tooltips tooltips_;
  ClickTracker<Target> clicks_;
  CommandGate gate_;
  AccessibleClient accessible_;
  bool tracking_ = false;  // TrackMouseEvent asked for the leave
  Index hot_;
  Index pressed_;  // the button went down on it
  Index focus_;
  bool focusShown_ = false;  // drawn, with its tip; else known to screen readers only
};

}  // namespace startboard
