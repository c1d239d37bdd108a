#include "ui/frmAbout.h"

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <iterator>

#include "app/resource.h"
#include "shell/Unicode.h"

namespace startboard {

namespace {

// A fixed dialog frame with a close box: no sizing, no minimise or maximise.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

HINSTANCE InstanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

// Releases a COM interface at the end of a scope.
template <class Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  Interface** Out() { return &pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  Interface* pointer_ = nullptr;
};

// Decodes the maker's JPEG with the system's OLE picture loader and renders
// it once into a bitmap of the screen's format.
Bitmap LoadJpegResource(Win32Shell& shell, HINSTANCE instance, HDC screen, int id) {
  SystemLibrary ole32(L"ole32.dll");
  SystemLibrary oleaut32(L"oleaut32.dll");
  const auto createStream = ole32.Get<decltype(&CreateStreamOnHGlobal)>("CreateStreamOnHGlobal");
  const auto loadPicture = oleaut32.Get<decltype(&OleLoadPicture)>("OleLoadPicture");
  if (!shell.EnterCom() || createStream == nullptr || loadPicture == nullptr) return nullptr;

  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  const DWORD size = resource != nullptr ? SizeofResource(instance, resource) : 0;
  HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return nullptr;

  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (copy == nullptr) return nullptr;
  void* target = GlobalLock(copy);
  if (target == nullptr) {
    GlobalFree(copy);
    return nullptr;
  }
  std::copy_n(static_cast<const char*>(bytes), size, static_cast<char*>(target));
  GlobalUnlock(copy);

  ComRef<IStream> stream;
  if (FAILED(createStream(copy, TRUE, stream.Out()))) {
    GlobalFree(copy);
    return nullptr;
  }
  ComRef<IPicture> picture;
  if (FAILED(loadPicture(stream.operator->(), static_cast<LONG>(size), FALSE, IID_IPicture,
                         reinterpret_cast<void**>(picture.Out())))) {
    return nullptr;
  }
  OLE_XSIZE_HIMETRIC himetricWidth = 0;
  OLE_YSIZE_HIMETRIC himetricHeight = 0;
  picture->get_Width(&himetricWidth);
  picture->get_Height(&himetricHeight);
  // HIMETRIC to pixels: the JPEG carries its own pixel size at 96 dpi.
  const int width = MulDiv(himetricWidth, GetDeviceCaps(screen, LOGPIXELSX), 2540);
  const int height = MulDiv(himetricHeight, GetDeviceCaps(screen, LOGPIXELSY), 2540);
  Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
  const MemoryDc dc(CreateCompatibleDC(screen));
  if (!bitmap || !dc) return nullptr;
  const Selection selected(dc.get(), bitmap.get());
  picture->Render(dc.get(), 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight,
                  nullptr);
  return bitmap;
}

Font CreateLabelFont(HDC screen, bool bold, bool underline) {
  const std::wstring face = Widen(kAboutFontFace);
  // 8.25 points in logical units at the screen's resolution.
  const int height = -MulDiv(825, GetDeviceCaps(screen, LOGPIXELSY), 7200);
  return Font(CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                          underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                          face.c_str()));
}

}  // namespace

// PictureBox

bool PictureBox::Register(HINSTANCE instance) { return RegisterClassOf(instance, {}); }

bool PictureBox::Create(HWND parent, const AboutControl& control, Bitmap picture) {
  picture_ = std::move(picture);
  background_ = ToColorRef(control.background.value_or(kBlack));
  const PixelRect rect = control.twips.ToPixels();
  const std::wstring name = Widen(control.name);
  return CreateWindowExW(0, kClassName, name.c_str(), WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                         rect.Width(), rect.Height(), parent, nullptr, InstanceOf(parent),
                         this) != nullptr;
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
  const Brush background(CreateSolidBrush(background_));
  FillRect(paint.Dc(), &client, background.get());
  DrawBitmap(paint.Dc(), picture_.get(), 0, 0);
}

// frmAbout

bool frmAbout::Register(HINSTANCE instance) {
  return RegisterClassOf(instance, {.background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                                    .applicationIcon = true}) &&
         PictureBox::Register(instance);
}

frmAbout::~frmAbout() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool frmAbout::Create(HWND owner) {
  const RECT frame = CentredWindowRect(kAboutClientWidth, kAboutClientHeight, kStyle, kExStyle);
  const std::wstring caption = Widen(kAboutCaption);
  // Owned by the main window: no task-bar button, and it stays above it.
  return CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, frame.left, frame.top,
                         frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                         InstanceOf(owner), this) != nullptr;
}

void frmAbout::ShowModal() {
  const HWND owner = shell_.FrontWindow();
  if (hwnd_ == nullptr && !Create(owner)) return;
  open_ = true;
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
      return OnCreate() ? 0 : -1;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

bool frmAbout::OnCreate() {
  const HINSTANCE instance = InstanceOf(hwnd_);
  const HDC screen = GetDC(nullptr);
  plain_ = CreateLabelFont(screen, false, false);
  underline_ = CreateLabelFont(screen, false, true);
  boldUnderline_ = CreateLabelFont(screen, true, true);
  Bitmap productLogo(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDB_PRODUCT_LOGO), IMAGE_BITMAP, 0, 0, 0)));
  Bitmap makerLogo = LoadJpegResource(shell_, instance, screen, IDR_MAKER_LOGO);
  ReleaseDC(nullptr, screen);

  labels_.Attach(hwnd_, shell_);
  std::size_t picture = 0;
  for (const AboutControl& control : kAboutControls) {
    if (control.kind == ControlKind::Picture && picture < std::size(pictures_)) {
      pictures_[picture++].Create(
          hwnd_, control,
          control.picture == Artwork::MakerLogo ? std::move(makerLogo) : std::move(productLogo));
    }
  }
  return true;
}

HFONT frmAbout::FontFor(const AboutControl& control) const {
  if (control.font.bold) return boldUnderline_.get();
  return control.font.underline ? underline_.get() : plain_.get();
}

void frmAbout::PaintLabel(HDC dc, const AboutControl& label) const {
  RECT rect = ToRect(label.twips.ToPixels());
  if (label.background) {
    const Brush background(CreateSolidBrush(ToColorRef(*label.background)));
    FillRect(dc, &rect, background.get());
  }
  const Selection font(dc, FontFor(label));
  SetTextColor(dc, ToColorRef(label.textColour));
  SetBkMode(dc, TRANSPARENT);
  const std::wstring text = Widen(label.text);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

void frmAbout::OnPaint() {
  const PaintScope paint(hwnd_);
  const HDC dc = paint.Dc();
  // Back to front; the picture boxes are windows and paint themselves.
  for (std::size_t i = kAboutControls.size(); i-- > 0;) {
    const AboutControl& control = kAboutControls[i];
    if (control.kind == ControlKind::Label) {
      PaintLabel(dc, control);
    } else if (control.kind == ControlKind::Oval) {
      const RECT rect = ToRect(control.twips.ToPixels());
      const Brush fill(CreateSolidBrush(ToColorRef(control.background.value_or(kWhite))));
      const Selection brush(dc, fill.get());
      const Selection pen(dc, GetStockObject(BLACK_PEN));
      Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
  }
}

void frmAbout::OnClose() {
  // Not while a link command is still running inside this window.
  if (!labels_.Busy()) open_ = false;
}

}  // namespace startboard
