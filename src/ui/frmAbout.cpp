#include "ui/frmAbout.h"

#include "launch/Actions.h"
#include "shell/Unicode.h"
#include "ui/Pictures.h"
#include "ui/Screen.h"

namespace startboard {

namespace {

// A fixed dialog frame with a close box: no sizing, no minimise or maximise.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// Window-wide font: MS Sans Serif 8.25 points.
constexpr std::wstring_view kFontFace = L"MS Sans Serif";
constexpr int kFontHundredthsOfPoint = 825;

Font CreateLabelFont(int dpi, bool bold, bool underline) {
  // 8.25 points in pixels at the window's dpi.
  const int height = -MulDiv(kFontHundredthsOfPoint, dpi, 72 * 100);
  return Font(CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                          underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                          kFontFace.data()));
}

}  // namespace

// PictureBox

bool PictureBox::Register(HINSTANCE instance) { return RegisterClassOf(instance, {}); }

bool PictureBox::Create(HWND parent, const AboutControl& control) {
  control_ = &control;
  const std::wstring name = Widen(control.name);
  return CreateWindowExW(0, kClassName, name.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                         nullptr, InstanceOf(parent), this) != nullptr;
}

void PictureBox::Show(Bitmap picture, int dpi) {
  picture_ = std::move(picture);
  const PixelRect rect = control_->twips.At(dpi);
  SetWindowPos(Hwnd(), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(Hwnd(), nullptr, FALSE);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void PictureBox::OnPaint() {
  const PaintScope paint(Hwnd());
  RECT client{};
  GetClientRect(Hwnd(), &client);
  const Brush background(
      CreateSolidBrush(ToColorRef(control_->background.value_or(brand::kAboutBackground))));
  FillRect(paint.Dc(), &client, background.get());
  DrawBitmap(paint.Dc(), picture_.get(), 0, 0);
}

// frmAbout

bool frmAbout::Register(HINSTANCE instance) {
  return RegisterClassOf(instance, {.style = CS_DBLCLKS, .applicationIcon = true}) &&
         PictureBox::Register(instance);
}

bool frmAbout::Create(HWND owner) {
  const PixelRect area = WorkAreaOf(owner);
  const std::wstring caption = Widen(shell_.Texts().aboutTitle);
  // Owned by the main window: no task-bar button, and it stays above it.
  return CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, area.left, area.top, 1, 1,
                         owner, nullptr, InstanceOf(owner), this) != nullptr;
}

void frmAbout::ShowModal(HWND owner) {
  if (Hwnd() == nullptr && !Create(owner)) return;
  // Centred on the main window's monitor, at its dpi, each time it opens.
  if (const int dpi = DpiOf(owner); !made_ || dpi != Dpi()) {
    SetDpi(dpi);
    OnDpiChanged();
  }
  PlaceCentred(Hwnd(), WorkAreaOf(owner), brand::kAboutClient, Dpi());
  open_ = true;
  input_.SetTargets(AboutTargets(shell_.Texts().aboutControls));
  EnableWindow(owner, FALSE);
  ShowWindow(Hwnd(), SW_SHOWNORMAL);
  {
    const Win32Shell::ModalScope front(shell_, Hwnd());
    MSG message{};
    do {
      if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
        // The program is ending: hand the quit on to the outer loop.
        PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
      // cppcheck-suppress knownConditionTrueFalse ; WM_CLOSE clears it during dispatch
    } while (open_);
  }
  // Enable the owner before hiding, so activation returns to it.
  EnableWindow(owner, TRUE);
  ShowWindow(Hwnd(), SW_HIDE);
  open_ = false;
}

LRESULT frmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const auto handled = input_.Handle(message, wParam, lParam)) return *handled;
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void frmAbout::Restyle(std::size_t index, TargetState before, TargetState now) {
  if (before.focused == now.focused) return;
  const RECT rect = ToRect(Px(input_.Present().frontToBack[index].twips));
  InvalidateRect(Hwnd(), &rect, FALSE);
}

void frmAbout::RunClick(const Action& action, Origin /*origin*/) { RunAction(shell_, action); }

void frmAbout::OnCreate() {
  std::size_t picture = 0;
  for (const AboutControl& control : shell_.Texts().aboutControls) {
    if (control.kind == ControlKind::Picture && picture < pictures_.size()) {
      pictures_[picture++].Create(Hwnd(), control);
    }
  }
}

void frmAbout::OnDpiChanged() {
  made_ = true;
  const int dpi = Dpi();
  for (const bool bold : {false, true}) {
    for (const bool underline : {false, true}) {
      fonts_[bold][underline] = CreateLabelFont(dpi, bold, underline);
    }
  }
  const HINSTANCE instance = InstanceOf(Hwnd());
  for (PictureBox& box : pictures_) {
    box.Show(LoadArt(shell_.Com(), instance, box.Picture(), dpi), dpi);
  }
  input_.OnDpiChanged();
}

HFONT frmAbout::FontFor(const AboutControl& control) const {
  return fonts_[control.font.bold][control.font.underline].get();
}

void frmAbout::PaintLabel(HDC dc, const AboutControl& label) const {
  RECT rect = ToRect(Px(label.twips));
  if (label.background) {
    const Brush background(CreateSolidBrush(ToColorRef(*label.background)));
    FillRect(dc, &rect, background.get());
  }
  const Selection font(dc, FontFor(label));
  SetTextColor(dc, ToColorRef(label.colour));
  SetBkMode(dc, TRANSPARENT);
  const std::wstring text = Widen(label.text);
  // A wrapped line that does not fit is cut at the label's edge, underline
  // and all (Wine's DrawText would let a cut line's underline through).
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  RestoreDC(dc, saved);
}

void frmAbout::OnPaint() {
  const PaintScope paint(Hwnd());
  const HDC dc = paint.Dc();
  RECT client{};
  GetClientRect(Hwnd(), &client);
  const Brush background(CreateSolidBrush(ToColorRef(brand::kAboutBackground)));
  FillRect(dc, &client, background.get());
  // Back to front; the picture boxes are windows and paint themselves.
  const std::span<const AboutControl> controls = shell_.Texts().aboutControls;
  for (std::size_t i = controls.size(); i-- > 0;) {
    const AboutControl& control = controls[i];
    if (control.kind == ControlKind::Label) {
      PaintLabel(dc, control);
    } else if (control.kind == ControlKind::Oval) {
      PaintOval(dc, control);
    }
  }
  if (const auto focus = input_.Focused()) {
    const RECT frame = ToRect(Px(input_.Present().frontToBack[*focus].twips));
    DrawFocusRect(dc, &frame);
  }
}

void frmAbout::PaintOval(HDC dc, const AboutControl& oval) const {
  const RECT rect = ToRect(Px(oval.twips));
  const Brush fill(CreateSolidBrush(ToColorRef(oval.colour)));
  const Selection brush(dc, fill.get());
  if (oval.outline) {
    const Pen edge(CreatePen(PS_SOLID, 1, ToColorRef(*oval.outline)));
    const Selection pen(dc, edge.get());
    Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
  } else {
    // Without a pen Ellipse leaves out the right and bottom edge: one more
    // pixel there covers what the outlined oval covers.
    const Selection pen(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, rect.left, rect.top, rect.right + 1, rect.bottom + 1);
  }
}

void frmAbout::OnClose() {
  // Not while a link command is still running inside this window.
  if (!input_.Busy()) open_ = false;
}

}  // namespace startboard
