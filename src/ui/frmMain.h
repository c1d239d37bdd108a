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
  // Creates and shows the window centred on the screen.
  bool Create(HINSTANCE instance, Win32Shell& shell);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  bool OnCreate();
  void OnPaint();
  void OnDestroy();

  Win32Shell* shell_ = nullptr;
  Bitmap background_;
  ClickableLabels<HotZone> zones_{kHotZones, HotZoneAt};
};

}  // namespace startboard
