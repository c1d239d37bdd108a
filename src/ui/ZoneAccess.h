// The menu's zones as screen readers see them (Active Accessibility, which
// UI Automation reads too): the window's client is a list of push buttons,
// each named by its zone's tooltip, the focused one marked.
#pragma once

#include <windows.h>

#include "ui/ZoneLights.h"

namespace startboard {

// The answer to WM_GETOBJECT for the client area: a new accessible object
// over `lights`' zones, or 0 to leave the window to the system's. `oleacc`
// stays loaded while the window lives: the answer refers to it.
LRESULT AccessibleZones(HWND owner, const ZoneLights& lights, WPARAM wParam, SystemLibrary& oleacc);

}  // namespace startboard
