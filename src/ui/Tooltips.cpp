#include "ui/Tooltips.h"

#include <commctrl.h>

#include "shell/Unicode.h"
#include "ui/Gdi.h"
#include "ui/Win32Window.h"

namespace startboard {

bool Tooltips::CreateControl(HWND owner) {
  const auto initialise = comctl32_.Get<decltype(&InitCommonControlsEx)>("InitCommonControlsEx");
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  if (initialise == nullptr || initialise(&classes) == FALSE) return false;
  control_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, InstanceOf(owner), nullptr);
  return control_ != nullptr;
}

void Tooltips::Add(HWND owner, UINT id, const PixelRect& rect, std::string_view text) const {
  std::wstring wide = Widen(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = 0;  // moves are relayed by the owner, see OnMouseMove
  tool.hwnd = owner;
  tool.uId = id;
  tool.rect = ToRect(rect);
  tool.lpszText = wide.data();  // copied by the control
  SendMessageW(control_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tooltips::Relay(HWND owner, LPARAM position) const {
  if (control_ == nullptr) return;
  const DWORD screen = GetMessagePos();
  MSG move{owner,
           WM_MOUSEMOVE,
           0,
           position,
           static_cast<DWORD>(GetMessageTime()),
           POINT{static_cast<short>(LOWORD(screen)), static_cast<short>(HIWORD(screen))}};
  SendMessageW(control_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

void Tooltips::Pop() const {
  if (control_ != nullptr) SendMessageW(control_, TTM_POP, 0, 0);
}

void Tooltips::Reset() {
  if (control_ != nullptr) DestroyWindow(control_);
  control_ = nullptr;
  created_ = false;
  under_ = nullptr;
}

}  // namespace startboard
