// What is on the screen: a window's pixels saved as a BMP.
#include <string>

#include "Driver.h"

namespace e2e {
namespace {

// Writes a 24-bit bottom-up BMP of `size` pixels from `bits` (rows padded to
// four bytes, as GetDIBits produces them).
bool WriteBmp(const std::wstring& path, SIZE size, const std::string& bits) {
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = size.cx;
  info.biHeight = size.cy;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(bits.size());
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, &header, sizeof header, &written, nullptr) &&
            WriteFile(file, &info, sizeof info, &written, nullptr) &&
            WriteFile(file, bits.data(), static_cast<DWORD>(bits.size()), &written, nullptr);
  CloseHandle(file);
  return ok;
}

// The screen's pixels inside `rect`, as 24-bit bottom-up rows.
std::string ScreenBits(const RECT& rect) {
  const SIZE size{rect.right - rect.left, rect.bottom - rect.top};
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, size.cx, size.cy, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = size.cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const std::size_t stride = (static_cast<std::size_t>(size.cx) * 3 + 3) & ~std::size_t{3};
  std::string bits(stride * static_cast<std::size_t>(size.cy), '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(size.cy), bits.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bits;
}

}  // namespace

bool StepCapture(Session& session, const Args& args, JsonLine& out) {
  if (!IsWindow(session.window)) return Fail(out, L"no window chosen");
  RECT rect{};
  GetWindowRect(session.window, &rect);
  const SIZE size{rect.right - rect.left, rect.bottom - rect.top};
  if (size.cx <= 0 || size.cy <= 0) return Fail(out, L"empty window");
  if (!WriteBmp(args[0], size, ScreenBits(rect))) return Fail(out, L"cannot write the file");
  out.Text("file", args[0]);
  out.Raw("rect", RectJson(rect));
  return true;
}

}  // namespace e2e
