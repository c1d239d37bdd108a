// The main menu window: a borderless picture with the brand's invisible
// click zones. It opens the About window and ends the program.
#pragma once

#include <windows.h>

#include <optional>

#include "brand/Data.h"
#include "shell/Win32Shell.h"
#include "ui/ClickableLabels.h"
#include "ui/Gdi.h"
#include "ui/Win32Window.h"
#include "ui/ZoneLights.h"
#include "ui/frmAbout.h"

namespace startboard {

class frmMain final : public Win32Window<frmMain>, private ClickTarget {
 public:
  static constexpr const wchar_t* kClassName = L"StartboardMain";

  explicit frmMain(const Language& language) : language_(language), zones_(language.zones) {}

  // Registers this window's class and those of the windows it opens.
  static bool Register(HINSTANCE instance);
  // Creates the window and shows it centred in the work area of the monitor
  // that holds the mouse pointer, at that monitor's dpi.
  bool Create(HINSTANCE instance, Win32Shell& shell);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // About opens the About window over this one and Quit ends the program;
  // the shell runs the rest.
  void RunClick(const Action& action) override;
  bool OnCreate();
  void OnPaint();
  void OnDestroy();
  bool UseDpi(int dpi);

  const Language& language_;
  Win32Shell* shell_ = nullptr;
  int dpi_ = kDefaultDpi;
  Bitmap background_;
  ClickableLabels<HotZone> zones_;
  std::optional<frmAbout> about_;  // made on first use, then kept
  ZoneLights lights_;  // hover, pressed and the keyboard's focus, where the brand has them
};

}  // namespace startboard
