// The base of the launcher's windows: it owns the window, routes its
// messages to a C++ object, keeps the dpi it is drawn at and follows the
// display when that changes.
#pragma once

#include <windows.h>

#include "brand/Data.h"
#include "ui/Screen.h"

namespace startboard {

// The module that made a window: where its resources are.
inline HINSTANCE InstanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

// What every window has, whatever its class: its handle and its dpi.
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Hwnd() const { return hwnd_; }
  int Dpi() const { return dpi_; }
  // A rectangle of the brand's tables in this window's pixels.
  PixelRect Px(const TwipRect& twips) const { return twips.At(dpi_); }

 protected:
  // The object goes first, then the window: its last messages go to the
  // system's procedure, not to a half-destroyed object.
  ~Window() {
    if (hwnd_ == nullptr) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  void SetDpi(int dpi) { dpi_ = dpi; }

 private:
  template <class Derived>
  friend class Win32Window;
  HWND hwnd_ = nullptr;
  int dpi_ = kDefaultDpi;
};

// Routes a window's messages to `Derived::HandleMessage`; the object is
// attached at WM_NCCREATE through CreateWindowEx's parameter. A top-level
// Derived has OnDpiChanged(), called when the window has moved to a monitor
// of another dpi, with Dpi() the new one, before the window takes the size
// Windows suggests.
template <class Derived>
class Win32Window : public Window {
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

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(Hwnd(), message, wParam, lParam);
  }

 private:
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
    if constexpr (requires(Derived & d) { d.OnDpiChanged(); }) {
      if (message == kDpiChangedMessage) {
        self->SetDpi(HIWORD(wParam));
        self->OnDpiChanged();
        MoveToSuggested(window, lParam);
        return 0;
      }
    }
    return self->HandleMessage(message, wParam, lParam);
  }
};

}  // namespace startboard
