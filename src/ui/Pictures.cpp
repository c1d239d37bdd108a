#include "ui/Pictures.h"

#include <wincodec.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "bench/Probe.h"
#include "shell/Unicode.h"
#include "ui/Resample.h"
#include "ui/Screen.h"

namespace startboard {

namespace {

// A top-down DIB section of 32 or 24 bits a pixel, whose pixels the resizer
// reads (either) and writes (32).
struct Dib {
  Bitmap bitmap;
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int channels = 4;
  ConstPixels In() const { return ConstPixels::Packed(bits, width, height, channels); }
  Pixels Out() const { return Pixels::Packed(bits, width, height); }
  UINT Stride() const { return static_cast<UINT>(In().stride); }
};

Dib MakeDib(int width, int height, int channels = 4) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(channels * 8);
  info.bmiHeader.biCompression = BI_RGB;
  Dib dib;
  void* bits = nullptr;
  dib.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib.bitmap) return {};
  dib.bits = static_cast<std::uint8_t*>(bits);
  dib.width = width;
  dib.height = height;
  dib.channels = channels;
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

// A resource's bytes; empty when it is missing.
struct Bytes {
  const BYTE* data = nullptr;
  DWORD size = 0;
};
Bytes Resource(HINSTANCE instance, int id) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  const DWORD size = resource != nullptr ? SizeofResource(instance, resource) : 0;
  HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return {static_cast<const BYTE*>(bytes), size};
}

// A picture decoded, and its size at 96 dpi: the decoded size over `divisor`.
struct Decoded {
  Dib dib;
  PixelSize natural{};
};

// The imaging component's decoder for the file's kind (the build embeds
// only these), by its first bytes. Named directly, because finding one
// (CreateDecoderFromStream) asks every decoder installed whether the file
// is its own: under Wine that costs more than decoding the picture.
const CLSID* DecoderFor(Bytes bytes) {
  if (bytes.size < 8) return nullptr;
  if (std::memcmp(bytes.data, "\xFF\xD8\xFF", 3) == 0) return &CLSID_WICJpegDecoder;
  if (std::memcmp(bytes.data, "\x89PNG\r\n\x1A\n", 8) == 0) return &CLSID_WICPngDecoder;
  if (std::memcmp(bytes.data, "BM", 2) == 0) return &CLSID_WICBmpDecoder;
  return nullptr;
}

// Decodes a PNG, JPEG or BMP file with the Windows Imaging Component (on
// every Windows since XP SP3) straight into a DIB: no copy of the decoded
// pixels on the way. A picture whose pixels decode as 24-bit (every JPEG,
// most PNGs) keeps them so: a conversion to 32 bits would be a pass over
// every pixel before the first paint. (The JPEG decoder scales only by
// halves as it decodes, which never fits between 100 and 200 %.)
Decoded DecodeWic(ComApartment& com, Bytes bytes, int divisor) {
  SystemLibrary ole32(L"ole32.dll");
  const auto create = ole32.Get<decltype(&CoCreateInstance)>("CoCreateInstance");
  if (bytes.data == nullptr || !com.Enter() || create == nullptr) return {};
  ComRef<IWICImagingFactory> factory;
  ComRef<IWICStream> stream;
  ComRef<IWICBitmapDecoder> decoder;
  ComRef<IWICBitmapFrameDecode> frame;
  UINT width = 0;
  UINT height = 0;
  WICPixelFormatGUID format{};
  if (FAILED(create(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                    reinterpret_cast<void**>(factory.Out())))) {
    return {};
  }
  // The bench splits a decode into loading the imaging DLLs and decoding.
  bench::Mark("codec");
  if (FAILED(factory->CreateStream(stream.Out())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data), bytes.size))) {
    return {};
  }
  const CLSID* kind = DecoderFor(bytes);
  if (kind == nullptr ||
      FAILED(create(*kind, nullptr, CLSCTX_INPROC_SERVER, IID_IWICBitmapDecoder,
                    reinterpret_cast<void**>(decoder.Out()))) ||
      FAILED(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand)) ||
      FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height)) ||
      FAILED(frame->GetPixelFormat(&format))) {
    return {};
  }
  const PixelSize natural{static_cast<int>(width) / divisor, static_cast<int>(height) / divisor};
  ComRef<IWICFormatConverter> converter;
  IWICBitmapSource* pixels = frame.get();
  const bool asIs = IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) != FALSE;
  if (!asIs) {
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
      return {};
    }
    pixels = converter.get();
  }
  Dib dib = MakeDib(static_cast<int>(width), static_cast<int>(height), asIs ? 3 : 4);
  if (!dib.bitmap ||
      FAILED(pixels->CopyPixels(nullptr, dib.Stride(), dib.Stride() * height, dib.bits))) {
    return {};
  }
  bench::Mark("decoded");
  return {std::move(dib), natural};
}

// The 96-dpi picture as embedded. A bitmap is loaded device-dependent:
// converted to the screen's format once, so every repaint is a plain blit.
Bitmap Load1x(ComApartment& com, HINSTANCE instance, const Art& art) {
  if (!art.encoded) {
    return Bitmap(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(art.id), IMAGE_BITMAP, 0, 0, 0)));
  }
  return std::move(DecodeWic(com, Resource(instance, art.id), 1).dib.bitmap);
}

// Resizes on two cores: the lower half of the rows on a thread of its own.
struct Band {
  ConstPixels from;
  Pixels to;
};
DWORD WINAPI ResampleLowerHalf(void* band) {
  const auto* job = static_cast<const Band*>(band);
  ResampleRows(job->from, job->to, job->to.height / 2, job->to.height);
  return 0;
}
void ResampleOnTwoCores(const Dib& source, const Dib& target) {
  Band band{source.In(), target.Out()};
  HANDLE thread = CreateThread(nullptr, 0, ResampleLowerHalf, &band, 0, nullptr);
  ResampleRows(band.from, band.to, 0, thread != nullptr ? band.to.height / 2 : band.to.height);
  if (thread == nullptr) return;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

}  // namespace

Bitmap LoadArt(ComApartment& com, HINSTANCE instance, const Art& art, int dpi) {
  if (dpi == kDefaultDpi) return Load1x(com, instance, art);
  bench::Mark("art");
  Decoded source = art.id2x != 0 ? DecodeWic(com, Resource(instance, art.id2x), 2) : Decoded{};
  if (!source.dib.bitmap) {
    const Bitmap picture = Load1x(com, instance, art);
    source.dib = ToDib(picture.get());
    source.natural = {source.dib.width, source.dib.height};
  }
  const PixelSize wanted{ScaleToDpi(source.natural.width, dpi),
                         ScaleToDpi(source.natural.height, dpi)};
  Dib target = MakeDib(wanted.width, wanted.height);
  if (!source.dib.bitmap || !target.bitmap) return nullptr;
  ResampleOnTwoCores(source.dib, target);
  bench::Mark("resized");
  return std::move(target.bitmap);
}

ArtAhead::ArtAhead(HINSTANCE instance, const Art& art) : instance_(instance), art_(art) {
  if (art.Present()) thread_ = CreateThread(nullptr, 0, Make, this, 0, nullptr);
}

ArtAhead::~ArtAhead() { Join(); }

DWORD WINAPI ArtAhead::Make(void* self) {
  auto* ahead = static_cast<ArtAhead*>(self);
  ahead->dpi_ = SystemDpi();
  // COM for this thread alone, left before it ends.
  ComApartment com;
  ahead->made_ = LoadArt(com, ahead->instance_, ahead->art_, ahead->dpi_);
  return 0;
}

void ArtAhead::Join() {
  if (thread_ == nullptr) return;
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

Bitmap ArtAhead::Take(const Art& art, int dpi) {
  if (art_.id != art.id) return nullptr;
  Join();
  return dpi_ == dpi ? std::move(made_) : nullptr;
}

Bitmap PlainMenu(std::span<const HotZone> zones, const std::vector<bool>& present,
                 const TwipRect& client, int dpi) {
  const PixelSize size = client.SizeAt(dpi);
  Dib dib = MakeDib(size.width, size.height);
  const MemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dib.bitmap || !dc) return nullptr;
  const Selection selected(dc.get(), dib.bitmap.get());
  RECT whole{0, 0, size.width, size.height};
  FillRect(dc.get(), &whole, GetSysColorBrush(COLOR_3DFACE));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  metrics.lfMessageFont.lfHeight = -ScaleToDpi(12, dpi);
  const Font font(CreateFontIndirectW(&metrics.lfMessageFont));
  const Selection chosen(dc.get(), font.get());
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), GetSysColor(COLOR_BTNTEXT));
  for (std::size_t i = 0; i < zones.size(); ++i) {
    const HotZone& zone = zones[i];
    if (zone.click.kind == ActionKind::None || (i < present.size() && !present[i])) continue;
    RECT rect = ToRect(zone.twips.At(dpi));
    DrawEdge(dc.get(), &rect, EDGE_RAISED, BF_RECT | BF_ADJUST);
    const std::wstring tip = Widen(zone.tooltip);
    DrawTextW(dc.get(), tip.c_str(), static_cast<int>(tip.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  GdiFlush();
  return std::move(dib.bitmap);
}

}  // namespace startboard
