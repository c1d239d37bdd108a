// The main menu window: the menu picture with five invisible click zones.
#pragma once

#include <windows.h>

#include "shell/Win32Shell.h"
#include "ui/ClickableLabels.h"
#include "ui/MainLayout.h"
#include "ui/Win32Window.h"

namespace startboard {

class frmMain : public Win32Window<frmMain> {
 public:
  static constexpr const wchar_t* kClassName = L"StartboardMain";

  static bool Register(HINSTANCE instance);
  // Creates the window and shows it centred in the work area of the monitor
  // that holds the mouse pointer, at that monitor's dpi.
  bool Create(HINSTANCE instance, Win32Shell& shell);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  bool OnCreate();
  void OnPaint();
  void OnDestroy();
  bool UseDpi(int dpi);

  Win32Shell* shell_ = nullptr;
  int dpi_ = kDefaultDpi;
  Bitmap background_;
  ClickableLabels<HotZone> zones_{kHotZones, HotZoneAt};
};

}  // namespace startboard
