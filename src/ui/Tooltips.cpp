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

namespace {
// Past every item's index, which is its tool's id.
constexpr UINT kFocusTool = 0xFFFF;
}  // namespace

void Tooltips::Track(HWND owner, const PixelRect* below, std::string_view text) {
  if (control_ == nullptr) return;
  std::wstring wide = Widen(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = owner;
  tool.uId = kFocusTool;
  tool.lpszText = wide.data();  // copied by the control
  if (below == nullptr) {
    if (tracking_) {
      SendMessageW(control_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    }
    tracking_ = false;
    return;
  }
  if (!tracking_) SendMessageW(control_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(control_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  // Just below the item's left edge, as a tip under a resting pointer shows.
  POINT at{below->left, below->bottom};
  ClientToScreen(owner, &at);
  SendMessageW(control_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y + 2));
  SendMessageW(control_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  tracking_ = true;
}

void Tooltips::Pop() const {
  if (control_ != nullptr) SendMessageW(control_, TTM_POP, 0, 0);
}

void Tooltips::Reset() {
  if (control_ != nullptr) DestroyWindow(control_);
  control_ = nullptr;
  created_ = false;
  under_ = nullptr;
  tracking_ = false;
}

}  // namespace startboard
