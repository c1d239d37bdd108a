// Real keyboard and mouse input, and tooltips. (The cursor's shape is read
// from the X server by the runner: under Wine another process can neither
// compare nor measure the launcher's cursor handles.)
#include <string>

#include "Driver.h"

namespace e2e {
namespace {

struct KeyName {
  std::wstring_view name;
  WORD key;
};

constexpr KeyName kKeys[] = {
    {L"escape", VK_ESCAPE}, {L"enter", VK_RETURN}, {L"space", VK_SPACE}, {L"tab", VK_TAB},
    {L"left", VK_LEFT},     {L"right", VK_RIGHT},  {L"f4", VK_F4},       {L"y", 'Y'},
    {L"n", 'N'},
};

constexpr KeyName kModifiers[] = {{L"alt", VK_MENU}, {L"ctrl", VK_CONTROL}, {L"shift", VK_SHIFT}};

// The virtual key of a name from one of the tables, or 0.
template <std::size_t N>
WORD KeyCode(const KeyName (&table)[N], std::wstring_view name) {
  for (const KeyName& key : table) {
    if (key.name == name) return key.key;
  }
  return 0;
}

void SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// Moves the pointer in two steps so the target sees a WM_MOUSEMOVE even when
// the pointer was already there.
void MovePointer(POINT point) {
  SetCursorPos(point.x + 1, point.y + 1);
  Sleep(30);
  SetCursorPos(point.x, point.y);
  SendMouse(MOUSEEVENTF_MOVE);
  Sleep(30);
}

void LeftClick() {
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Sleep(20);
  SendMouse(MOUSEEVENTF_LEFTUP);
}

struct TooltipSearch {
  DWORD pid;
  HWND found = nullptr;
};

BOOL CALLBACK FindTooltip(HWND window, LPARAM param) {
  TooltipSearch& search = *reinterpret_cast<TooltipSearch*>(param);
  if (!IsWindowVisible(window) || ProcessOf(window) != search.pid) return TRUE;
  if (ClassOf(window) != L"tooltips_class32" || TextOf(window).empty()) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

void ClickAt(POINT screenPoint) {
  MovePointer(screenPoint);
  LeftClick();
}

// NAME is a key, optionally after modifiers: "escape", "alt+f4".
bool StepKey(Session& session, const Args& args, JsonLine& out) {
  std::vector<WORD> modifiers;
  std::wstring_view rest = args[0];
  for (std::size_t plus = rest.find(L'+'); plus != std::wstring_view::npos; plus = rest.find(L'+')) {
    const WORD modifier = KeyCode(kModifiers, rest.substr(0, plus));
    if (modifier == 0) return Fail(out, L"unknown modifier");
    modifiers.push_back(modifier);
    rest.remove_prefix(plus + 1);
  }
  const WORD key = KeyCode(kKeys, rest);
  if (key == 0) return Fail(out, L"unknown key");
  if (IsWindow(session.window)) SetForegroundWindow(session.window);
  Sleep(50);
  out.Flag("foreground", GetForegroundWindow() == session.window);
  for (WORD modifier : modifiers) SendKey(modifier, false);
  SendKey(key, false);
  SendKey(key, true);
  for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier) {
    SendKey(*modifier, true);
  }
  return true;
}

bool StepMove(Session& session, const Args& args, JsonLine& out) {
  POINT point{};
  if (!ClientToScreenPoint(session, args, point, out)) return false;
  MovePointer(point);
  return true;
}

bool StepClick(Session& session, const Args& args, JsonLine& out) {
  POINT point{};
  if (!ClientToScreenPoint(session, args, point, out)) return false;
  ClickAt(point);
  return true;
}

bool StepDoubleClick(Session& session, const Args& args, JsonLine& out) {
  POINT point{};
  if (!ClientToScreenPoint(session, args, point, out)) return false;
  MovePointer(point);
  LeftClick();
  Sleep(40);
  LeftClick();
  return true;
}

// Presses the button at X1 Y1 and lets go at X2 Y2.
bool StepDrag(Session& session, const Args& args, JsonLine& out) {
  POINT from{};
  POINT to{};
  if (!ClientToScreenPoint(session, {args[0], args[1]}, from, out) ||
      !ClientToScreenPoint(session, {args[2], args[3]}, to, out)) {
    return false;
  }
  MovePointer(from);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Sleep(30);
  MovePointer(to);
  SendMouse(MOUSEEVENTF_LEFTUP);
  return true;
}

// Waits for a visible tooltip with text belonging to the session window's
// process; with TEXT, for one showing exactly that. Reports the last seen.
bool StepTooltip(Session& session, const Args& args, JsonLine& out) {
  TooltipSearch search{ProcessOf(session.window)};
  std::wstring text;
  const bool found = WaitUntil(ToInt(args[0]), [&] {
    search.found = nullptr;
    EnumWindows(FindTooltip, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) text = TextOf(search.found);
    return search.found != nullptr && (args.size() < 2 || text == args[1]);
  });
  out.Text("text", text);
  if (!found) return Fail(out, L"no such tooltip");
  RECT rect{};
  GetWindowRect(search.found, &rect);
  out.Raw("rect", RectJson(rect));
  return true;
}

}  // namespace e2e
