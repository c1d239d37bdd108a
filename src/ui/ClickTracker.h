// What a click on a label is: a press and a release over the same label.
#pragma once

#include <utility>

namespace startboard {

template <class Item>
class ClickTracker {
 public:
  // A press on `item` (nullptr: on no label). `second` when the system
  // reports it as the second press of a double click, which is no click of
  // its own, so a double click runs a command once; but when the window was
  // out of use since the first press (a message box or the About window was
  // over it), the user has answered something in between and it is a new
  // click.
  void Press(const Item* item, bool second) {
    pressed_ = second && !outOfUse_ ? nullptr : item;
    outOfUse_ = false;
  }

  // A release over `item`: the label clicked, or nullptr.
  const Item* Release(const Item* item) {
    const Item* pressed = std::exchange(pressed_, nullptr);
    return pressed == item ? pressed : nullptr;
  }

  // The press came to nothing (the mouse went elsewhere, a system dialog).
  void Cancel() { pressed_ = nullptr; }

  // The window was disabled: a message box or a modal window is over it.
  void OutOfUse() { outOfUse_ = true; }

  bool Pressed() const { return pressed_ != nullptr; }

 private:
  const Item* pressed_ = nullptr;
  bool outOfUse_ = false;
};

}  // namespace startboard
