// The window-procedure trampoline that routes a window's messages to a C++
// object, and the window's module.
#pragma once

#include <windows.h>

#include "brand/Data.h"

namespace startboard {

// The module that made a window: where its resources are.
inline HINSTANCE InstanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

// Routes a window's messages to `Derived::HandleMessage`. The object is
// attached at WM_NCCREATE through CreateWindowEx's parameter.
template <class Derived>
class Win32Window {
 public:
  HWND Hwnd() const { return hwnd_; }

 protected:
  struct ClassStyle {
    UINT style = 0;
    HBRUSH background = nullptr;
    bool applicationIcon = false;  // top-level windows carry the app's icon
  };

  // Registers Derived::kClassName with this trampoline and the arrow pointer.
  static bool RegisterClassOf(HINSTANCE instance, ClassStyle look) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = look.style;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    if (look.applicationIcon) {
      windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(brand::kIconId));
      windowClass.hIconSm = static_cast<HICON>(
          LoadImageW(instance, MAKEINTRESOURCEW(brand::kIconId), IMAGE_ICON,
                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = look.background;
    windowClass.lpszClassName = Derived::kClassName;
    return RegisterClassExW(&windowClass) != 0;
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
      self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      self->hwnd_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
    }
    return self->HandleMessage(message, wParam, lParam);
  }

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }

  HWND hwnd_ = nullptr;
};

}  // namespace startboard
