// The windows' pictures at the dpi they are drawn at.
#pragma once

#include <windows.h>

#include "brand/Types.h"
#include "shell/Handles.h"
#include "ui/Gdi.h"

namespace startboard {

// The picture at `dpi`, at its natural size scaled to that dpi. At 96 dpi
// it is the 96-dpi picture exactly as embedded. At any other dpi it is the
// 2x picture resized to fit (at 192 dpi, as it is), or, without a 2x
// picture, the 96-dpi one enlarged: smooth, as Windows would stretch a
// program that knows nothing of dpi, but at the right size. JPEGs are decoded
// through COM, entered on first need.
Bitmap LoadArt(ComApartment& com, HINSTANCE instance, const Art& art, int dpi);

}  // namespace startboard
