#include "ui/Pictures.h"

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>

#include "ui/Resample.h"

namespace startboard {

namespace {

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
  Interface* get() const { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

// A 32-bit top-down DIB section, whose pixels the resizer reads and writes.
struct Dib {
  Bitmap bitmap;
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  ConstPixels In() const { return ConstPixels::Packed(bits, width, height); }
  Pixels Out() const { return Pixels::Packed(bits, width, height); }
};

Dib MakeDib(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  Dib dib;
  void* bits = nullptr;
  dib.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib.bitmap) return {};
  dib.bits = static_cast<std::uint8_t*>(bits);
  dib.width = width;
  dib.height = height;
  return dib;
}

// A bitmap copied into a DIB.
Dib ToDib(HBITMAP bitmap) {
  const PixelSize size = BitmapSize(bitmap);
  Dib dib = MakeDib(size.width, size.height);
  const MemoryDc source(CreateCompatibleDC(nullptr));
  const MemoryDc target(CreateCompatibleDC(nullptr));
  if (!dib.bitmap || !source || !target) return {};
  const Selection from(source.get(), bitmap);
  const Selection to(target.get(), dib.bitmap.get());
  BitBlt(target.get(), 0, 0, size.width, size.height, source.get(), 0, 0, SRCCOPY);
  GdiFlush();
  return dib;
}

// Decodes a JPEG resource with the system's OLE picture loader (present on
// every Windows the launcher runs on) into a DIB of its own pixel size.
Dib DecodeJpeg(Win32Shell& shell, HINSTANCE instance, int id) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  const DWORD size = resource != nullptr ? SizeofResource(instance, resource) : 0;
  HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return {};

  SystemLibrary ole32(L"ole32.dll");
  SystemLibrary oleaut32(L"oleaut32.dll");
  const auto createStream = ole32.Get<decltype(&CreateStreamOnHGlobal)>("CreateStreamOnHGlobal");
  const auto loadPicture = oleaut32.Get<decltype(&OleLoadPicture)>("OleLoadPicture");
  if (!shell.EnterCom() || createStream == nullptr || loadPicture == nullptr) return {};

  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (copy == nullptr) return {};
  void* target = GlobalLock(copy);
  if (target == nullptr) {
    GlobalFree(copy);
    return {};
  }
  std::copy_n(static_cast<const char*>(bytes), size, static_cast<char*>(target));
  GlobalUnlock(copy);
  ComRef<IStream> stream;
  if (FAILED(createStream(copy, TRUE, stream.Out()))) {
    GlobalFree(copy);
    return {};
  }
  ComRef<IPicture> picture;
  OLE_HANDLE handle = 0;
  if (FAILED(loadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                         reinterpret_cast<void**>(picture.Out()))) ||
      FAILED(picture->get_Handle(&handle))) {
    return {};
  }
  return ToDib(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
}

// The 96-dpi picture as embedded. A bitmap is loaded device-dependent:
// converted to the screen's format once, so every repaint is a plain blit.
Bitmap Load1x(Win32Shell& shell, HINSTANCE instance, const Art& art) {
  if (art.jpeg) return std::move(DecodeJpeg(shell, instance, art.id).bitmap);
  return Bitmap(
      static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(art.id), IMAGE_BITMAP, 0, 0, 0)));
}

}  // namespace

Bitmap LoadArt(Win32Shell& shell, HINSTANCE instance, const Art& art, int dpi) {
  if (dpi == kDefaultDpi) return Load1x(shell, instance, art);
  Dib source = art.id2x != 0 ? DecodeJpeg(shell, instance, art.id2x) : Dib{};
  PixelSize natural{source.width / 2, source.height / 2};
  if (!source.bitmap) {
    const Bitmap picture = Load1x(shell, instance, art);
    source = ToDib(picture.get());
    natural = {source.width, source.height};
  }
  Dib target = MakeDib(ScaleToDpi(natural.width, dpi), ScaleToDpi(natural.height, dpi));
  if (!source.bitmap || !target.bitmap) return nullptr;
  Resample(source.In(), target.Out());
  return std::move(target.bitmap);
}

}  // namespace startboard
