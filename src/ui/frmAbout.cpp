#include "ui/frmAbout.h"

#include <oleacc.h>

#include <algorithm>
#include <iterator>

#include "launch/Actions.h"
#include "shell/Unicode.h"
#include "ui/Layout.h"
#include "ui/Pictures.h"
#include "ui/Screen.h"

namespace startboard {

namespace {

// A fixed dialog frame with a close box: no sizing, no minimise or maximise.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

constexpr bool ReadBefore(std::size_t a, std::size_t b) {
  const TwipRect& first = brand::kAboutControls[a].twips;
  const TwipRect& second = brand::kAboutControls[b].twips;
  return first.top != second.top ? first.top < second.top : first.left < second.left;
}

// The table index of each link, in reading order (top to bottom, then left
// to right): the order Tab visits them in and screen readers list them.
constexpr std::array<std::size_t, kAboutLinkCount> LinksInReadingOrder() {
  std::array<std::size_t, kAboutLinkCount> links{};
  std::size_t next = 0;
  for (std::size_t index = 0; index < brand::kAboutControls.size(); ++index) {
    const AboutControl& control = brand::kAboutControls[index];
    if (control.kind == ControlKind::Label && control.click.kind != ActionKind::None) {
      links[next++] = index;
    }
  }
  std::sort(links.begin(), links.end(), ReadBefore);
  return links;
}
constexpr auto kLinks = LinksInReadingOrder();

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
  SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, FALSE);
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
  const PaintScope paint(hwnd_);
  RECT client{};
  GetClientRect(hwnd_, &client);
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

frmAbout::~frmAbout() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool frmAbout::Create(HWND owner) {
  const PixelRect area = WorkAreaOf(owner);
  const std::wstring caption = Widen(shell_.Texts().aboutTitle);
  // Owned by the main window: no task-bar button, and it stays above it.
  return CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, area.left, area.top, 1, 1,
                         owner, nullptr, InstanceOf(owner), this) != nullptr;
}

void frmAbout::ShowModal(HWND owner) {
  if (hwnd_ == nullptr && !Create(owner)) return;
  // Centred on the main window's monitor, at its dpi, each time it opens.
  if (const int dpi = DpiOf(owner); dpi != dpi_) UseDpi(dpi);
  PlaceCentred(hwnd_, WorkAreaOf(owner), brand::kAboutClient, dpi_);
  open_ = true;
  focus_.reset();
  EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  {
    const Win32Shell::ModalScope front(shell_, hwnd_);
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
  ShowWindow(hwnd_, SW_HIDE);
  open_ = false;
}

LRESULT frmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const auto result = labels_.Handle(message, wParam, lParam)) return *result;
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case kDpiChangedMessage:
      UseDpi(HIWORD(wParam));
      MoveToSuggested(hwnd_, lParam);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_KEYDOWN:
      if (OnKey(wParam, lParam)) return 0;
      break;
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
        if (const LRESULT answer =
                AnswerAccessible(hwnd_, *this, {ROLE_SYSTEM_LINK, "Jump"}, wParam, oleacc_)) {
          return answer;
        }
      }
      break;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

bool frmAbout::OnKey(WPARAM key, LPARAM flags) {
  const bool repeat = (flags & (1 << 30)) != 0;
  switch (key) {
    case VK_TAB:
      MoveFocus(GetKeyState(VK_SHIFT) >= 0);
      return true;
    case VK_RETURN:
      if (focus_ && !repeat) labels_.Run(Link(*focus_));
      return true;
    case VK_ESCAPE:
      // As the close box does.
      if (!repeat) OnClose();
      return true;
    default:
      return false;
  }
}

void frmAbout::MoveFocus(bool forward) {
  if (kAboutLinkCount == 0) return;
  const std::size_t next = NextInRing(focus_, kAboutLinkCount, forward);
  // The old and the new link's frames: only they are drawn again.
  for (const auto index : {focus_, std::optional<std::size_t>(next)}) {
    if (!index) continue;
    const RECT rect = AccessibleRect(*index);
    InvalidateRect(hwnd_, &rect, FALSE);
  }
  focus_ = next;
  NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd_, OBJID_CLIENT, static_cast<LONG>(next) + 1);
}

// A link in the language the user reads; its place is the same in every one.
const AboutControl& frmAbout::Link(std::size_t index) const {
  return shell_.Texts().aboutControls[kLinks[index]];
}

std::string_view frmAbout::AccessibleName(std::size_t index) const { return Link(index).text; }

RECT frmAbout::AccessibleRect(std::size_t index) const {
  return ToRect(Link(index).twips.At(dpi_));
}

std::optional<std::size_t> frmAbout::AccessibleAt(POINT client) const {
  const auto* control =
      FrontmostAt<AboutControl>(shell_.Texts().aboutControls, client.x, client.y, dpi_);
  for (std::size_t i = 0; i < kAboutLinkCount; ++i) {
    if (control == &Link(i)) return i;
  }
  return std::nullopt;
}

void frmAbout::RunClick(const Action& action) { RunAction(shell_, action); }

void frmAbout::OnCreate() {
  labels_.Attach(hwnd_, *this);
  std::size_t picture = 0;
  for (const AboutControl& control : shell_.Texts().aboutControls) {
    if (control.kind == ControlKind::Picture && picture < pictures_.size()) {
      pictures_[picture++].Create(hwnd_, control);
    }
  }
}

// Fonts, pictures and labels for a dpi, made once.
void frmAbout::UseDpi(int dpi) {
  dpi_ = dpi;
  for (const bool bold : {false, true}) {
    for (const bool underline : {false, true}) {
      fonts_[bold][underline] = CreateLabelFont(dpi, bold, underline);
    }
  }
  const HINSTANCE instance = InstanceOf(hwnd_);
  for (PictureBox& box : pictures_) {
    box.Show(LoadArt(shell_.Com(), instance, box.Picture(), dpi), dpi);
  }
  labels_.SetDpi(dpi);
}

HFONT frmAbout::FontFor(const AboutControl& control) const {
  return fonts_[control.font.bold][control.font.underline].get();
}

void frmAbout::PaintLabel(HDC dc, const AboutControl& label) const {
  RECT rect = ToRect(label.twips.At(dpi_));
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
  const PaintScope paint(hwnd_);
  const HDC dc = paint.Dc();
  RECT client{};
  GetClientRect(hwnd_, &client);
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
  if (focus_) {
    const RECT frame = AccessibleRect(*focus_);
    DrawFocusRect(dc, &frame);
  }
}

void frmAbout::PaintOval(HDC dc, const AboutControl& oval) const {
  const RECT rect = ToRect(oval.twips.At(dpi_));
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
  if (!labels_.Busy()) open_ = false;
}

}  // namespace startboard
