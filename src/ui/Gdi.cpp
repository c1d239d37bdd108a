#include "ui/Gdi.h"

#include <cstdlib>

namespace startboard {

PixelSize BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return {0, 0};
  return {info.bmWidth, std::abs(info.bmHeight)};
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
  const PixelSize size = BitmapSize(bitmap);
  if (size.width == 0) return;
  const MemoryDc source(CreateCompatibleDC(dc));
  const Selection selected(source.get(), bitmap);
  BitBlt(dc, x, y, size.width, size.height, source.get(), 0, 0, SRCCOPY);
}

}  // namespace startboard
