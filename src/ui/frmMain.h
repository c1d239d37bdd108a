// The main menu window: a borderless picture with the brand's invisible
// click zones. It opens the About window and ends the program.
#pragma once

#include <windows.h>

#include <optional>

#include "brand/Data.h"
#include "shell/Win32Shell.h"
#include "ui/Input.h"
#include "ui/LitZones.h"
#include "ui/Win32Window.h"
#include "ui/frmAbout.h"

namespace startboard {

class frmMain final : public Win32Window<frmMain>, private InputOwner {
 public:
  static constexpr const wchar_t* kClassName = L"StartboardMain";

  frmMain(Win32Shell& shell, const Language& language)
      : shell_(shell),
        language_(language),
        input_(*this, *this, brand::kKeyboard ? Input::Keys::All : Input::Keys::None, kPushButtons),
        lit_(*this, shell.Com(), language) {}

  // Registers this window's class and those of the windows it opens.
  static bool Register(HINSTANCE instance);
  // Creates the window and shows it centred in the work area of the monitor
  // that holds the mouse pointer, at that monitor's dpi.
  bool Create(HINSTANCE instance);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnDpiChanged();

 private:
  // About opens the About window over this one and Quit ends the program;
  // the shell runs the rest.
  void RunClick(const Action& action) override;
  void Restyle(std::size_t index, TargetState before, TargetState now) override {
    lit_.Restyle(index, before, now);
  }
  // Escape runs the quit zone.
  void OnEscape() override;
  bool OnCreate();
  bool LoadBackground();
  void OnPaint();
  void OnDestroy();

  Win32Shell& shell_;
  const Language& language_;
  Bitmap background_;
  Input input_;
  LitZones lit_;  // hover, pressed and the keyboard's focus, where the brand has them
  std::optional<frmAbout> about_;  // made on first use, then kept
};

}  // namespace startboard
