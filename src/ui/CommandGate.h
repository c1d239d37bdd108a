// Lets one command run at a time per window. A shell call may dispatch
// messages while it waits; a click that arrives then is dropped rather than
// started inside the running command.
#pragma once

namespace startboard {

class CommandGate {
 public:
  // Runs `command` unless one is already running; says whether it ran.
  template <class Command>
  bool Run(Command&& command) {
    if (busy_) return false;
    busy_ = true;
    command();
    busy_ = false;
    return true;
  }
  bool Busy() const { return busy_; }

 private:
  bool busy_ = false;
};

}  // namespace startboard
