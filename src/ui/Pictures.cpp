#include "ui/Pictures.h"

#include <wincodec.h>

#include <cstdint>
#include <utility>

#include "bench/Probe.h"
#include "ui/Resample.h"

namespace startboard {

namespace {

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

// Decodes a JPEG resource with the Windows Imaging Component (on every
// Windows since Vista) straight into a DIB of its own pixel size: no OLE
// picture and no copy of the decoded pixels on the way.
Dib DecodeJpeg(ComApartment& com, HINSTANCE instance, int id) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  const DWORD size = resource != nullptr ? SizeofResource(instance, resource) : 0;
  HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
  void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return {};

  SystemLibrary ole32(L"ole32.dll");
  const auto create = ole32.Get<decltype(&CoCreateInstance)>("CoCreateInstance");
  if (!com.Enter() || create == nullptr) return {};
  ComRef<IWICImagingFactory> factory;
  ComRef<IWICStream> stream;
  ComRef<IWICBitmapDecoder> decoder;
  ComRef<IWICBitmapFrameDecode> frame;
  ComRef<IWICFormatConverter> converter;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(create(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                    reinterpret_cast<void**>(factory.Out())))) {
    return {};
  }
  // The bench splits a decode into loading the imaging DLLs and decoding.
  bench::Mark("codec");
  if (FAILED(factory->CreateStream(stream.Out())) ||
      FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(bytes), size)) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Out())) ||
      FAILED(decoder->GetFrame(0, frame.Out())) ||
      FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height))) {
    return {};
  }
  Dib dib = MakeDib(static_cast<int>(width), static_cast<int>(height));
  const UINT stride = width * 4;
  if (!dib.bitmap || FAILED(converter->CopyPixels(nullptr, stride, stride * height, dib.bits))) {
    return {};
  }
  bench::Mark("decoded");
  return dib;
}

// The 96-dpi picture as embedded. A bitmap is loaded device-dependent:
// converted to the screen's format once, so every repaint is a plain blit.
Bitmap Load1x(ComApartment& com, HINSTANCE instance, const Art& art) {
  if (art.jpeg) return std::move(DecodeJpeg(com, instance, art.id).bitmap);
  return Bitmap(
      static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(art.id), IMAGE_BITMAP, 0, 0, 0)));
}

}  // namespace

Bitmap LoadArt(ComApartment& com, HINSTANCE instance, const Art& art, int dpi) {
  if (dpi == kDefaultDpi) return Load1x(com, instance, art);
  bench::Mark("art");
  Dib source = art.id2x != 0 ? DecodeJpeg(com, instance, art.id2x) : Dib{};
  PixelSize natural{source.width / 2, source.height / 2};
  if (!source.bitmap) {
    const Bitmap picture = Load1x(com, instance, art);
    source = ToDib(picture.get());
    natural = {source.width, source.height};
  }
  Dib target = MakeDib(ScaleToDpi(natural.width, dpi), ScaleToDpi(natural.height, dpi));
  if (!source.bitmap || !target.bitmap) return nullptr;
  Resample(source.In(), target.Out());
  bench::Mark("resized");
  return std::move(target.bitmap);
}

}  // namespace startboard
