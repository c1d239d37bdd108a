// Small Win32 helpers shared by the two windows: RAII for GDI objects and
// device contexts, and the window-procedure trampoline that routes messages
// to a C++ object.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string_view>
#include <type_traits>

#include "brand/Data.h"
#include "shell/Win32Shell.h"
#include "ui/AboutLayout.h"
#include "ui/Layout.h"

namespace startboard {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <class Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;

struct MemoryDcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

struct CursorDeleter {
  void operator()(HCURSOR cursor) const { DestroyCursor(cursor); }
};
using Cursor = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDeleter>;

// Selects an object into a DC for one scope and puts the old one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~PaintScope() { EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Dc() const { return dc_; }
  const RECT& Dirty() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

constexpr COLORREF ToColorRef(Rgb rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

inline RECT ToRect(const PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Where the pointer is now, in client coordinates. (WM_SETCURSOR comes before
// the move it belongs to is taken from the queue, so the last message's
// position is one move behind: at a label's edge the shape would be wrong.)
POINT CursorClientPoint(HWND window);

// Sets the mouse pointer unless it already has that shape: WM_SETCURSOR
// comes with every mouse move.
void ShowCursorShape(HCURSOR cursor);

inline HINSTANCE InstanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

// A bitmap's size in pixels; 0 x 0 for none.
PixelSize BitmapSize(HBITMAP bitmap);

// Draws a bitmap at its natural size with its top-left corner at (x, y).
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);

// Sent when the window has moved to a monitor of another dpi (Windows 8.1 and
// later): the new dpi in HIWORD(wParam), a suggested window RECT* in lParam.
constexpr UINT kDpiChangedMessage = 0x02E0;

// Takes the window rectangle that Windows suggests with kDpiChangedMessage
// (its lParam) and has the whole window drawn again.
void MoveToSuggested(HWND window, LPARAM suggested);

// The dots per inch a window is drawn at: its monitor's where Windows knows
// them (8.1 and later), else the system's.
int DpiOf(HWND window);

// The work area (the monitor less the task bar) of the monitor that holds
// the point, or most of the window.
PixelRect WorkAreaAt(POINT point);
PixelRect WorkAreaOf(HWND window);

// Sizes a window so that its client area is `client` at `dpi`, frame
// included, and centres it in `area`.
void PlaceCentred(HWND window, const PixelRect& area, const TwipRect& client, int dpi);

// A window's tooltips: one control with a tool per item that has a tooltip.
// It is created on the first mouse move, so the common controls are loaded
// once somebody points at the window, not before its first paint.
class Tooltips {
 public:
  // Handles the owner's WM_MOUSEMOVE; `under` is the item under the mouse.
  // Items are front to back: the control picks the first tool under the
  // mouse. A move is passed on only when it crosses into another item (or
  // out of all): within one item it changes nothing for the tip, and every
  // move passed on costs the control a timer reset.
  template <class Item>
  void OnMouseMove(HWND owner, Win32Shell& shell, std::span<const Item> frontToBack,
                   const Item* under, LPARAM position, int dpi) {
    if (!created_) {
      created_ = true;
      if (shell.EnsureCommonControls() && CreateControl(owner)) {
        for (std::size_t i = 0; i < frontToBack.size(); ++i) {
          if (frontToBack[i].tooltip.empty()) continue;
          Add(owner, static_cast<UINT>(i), frontToBack[i].twips.At(dpi), frontToBack[i].tooltip);
        }
      }
    } else if (under == under_) {
      return;
    }
    under_ = under;
    Relay(owner, position);
  }
  // Hides a tip that would otherwise stay up over a command's message box.
  void Pop() const;
  // Forgets the tools, for a new dpi: they are made again on the next move.
  void Reset();

 private:
  bool CreateControl(HWND owner);
  void Add(HWND owner, UINT id, const PixelRect& rect, std::string_view text) const;
  void Relay(HWND owner, LPARAM position) const;

  HWND control_ = nullptr;  // owned by its owner window, destroyed with it
  bool created_ = false;
  const void* under_ = nullptr;
};

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
