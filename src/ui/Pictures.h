// The windows' pictures at the dpi they are drawn at.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "brand/Types.h"
#include "shell/Handles.h"
#include "ui/Gdi.h"

namespace startboard {

// The picture at `dpi`, at its natural size scaled to that dpi. At 96 dpi
// it is the 96-dpi picture exactly as embedded. At any other dpi it is the
// 2x picture resized to fit (at 192 dpi, as it is), or, without a 2x
// picture, the 96-dpi one enlarged: smooth, as Windows would stretch a
// program that knows nothing of dpi, but at the right size. PNGs and JPEGs
// are decoded through COM, entered on first need. nullptr when the picture
// cannot be drawn on this Windows (a PNG or JPEG where the imaging component
// is missing).
Bitmap LoadArt(ComApartment& com, HINSTANCE instance, const Art& art, int dpi);

// A picture made on a thread of its own from the moment the program knows
// which one it needs, while the window is being made: above 96 dpi its
// decoding and resizing are most of the start-up. It is made at the
// system's dpi, which the window almost always has; a window that turns
// out otherwise makes its picture itself.
class ArtAhead {
 public:
  ArtAhead(HINSTANCE instance, const Art& art);
  ~ArtAhead();  // waits for the thread
  ArtAhead(const ArtAhead&) = delete;
  ArtAhead& operator=(const ArtAhead&) = delete;

  // The picture, when it was made of `art` at `dpi` (waiting for it if need
  // be), else nullptr.
  Bitmap Take(const Art& art, int dpi);

 private:
  static DWORD WINAPI Make(void* self);
  void Join();

  HINSTANCE instance_;
  Art art_;
  int dpi_ = 0;  // written by the thread
  HANDLE thread_ = nullptr;
  Bitmap made_;
};

// A page where its picture cannot be drawn: the window's face, each zone
// present that does something a button named by its tooltip.
Bitmap PlainMenu(std::span<const HotZone> zones, const std::vector<bool>& present,
                 const TwipRect& client, int dpi);

}  // namespace startboard
