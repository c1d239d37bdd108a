// The main menu window: the menu picture with five invisible click zones.
#pragma once

#include <windows.h>

#include "shell/Win32Shell.h"
#include "ui/CommandGate.h"
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
  bool OnSetCursor(WPARAM wParam, LPARAM lParam);
  void OnMouseMove(LPARAM lParam);
  void OnLButtonDown(LPARAM lParam);
  void OnLButtonUp(LPARAM lParam);
  void OnDestroy();

  Win32Shell* shell_ = nullptr;
  Bitmap background_;
  HCURSOR hand_ = nullptr;
  Tooltips tooltips_;
  const HotZone* pressed_ = nullptr;
  CommandGate gate_;
};

}  // namespace startboard
