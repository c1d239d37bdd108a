// Finding top-level windows, reading them and answering message boxes.
#include <string>

#include "Driver.h"

namespace e2e {
namespace {

constexpr std::wstring_view kMessageBoxClass = L"#32770";
constexpr int kMessageTextId = 0xFFFF;

struct Match {
  std::wstring_view className, title;  // empty matches any
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  Match& match = *reinterpret_cast<Match*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  if (!match.className.empty() && ClassOf(window) != match.className) return TRUE;
  if (!match.title.empty() && TextOf(window) != match.title) return TRUE;
  match.found = window;
  return FALSE;
}

HWND WaitForWindow(std::wstring_view className, std::wstring_view title, int timeoutMs) {
  Match match{className, title};
  WaitUntil(timeoutMs, [&] {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&match));
    return match.found != nullptr;
  });
  return match.found;
}

// Describes the window briefly: every finding step reports this much.
void Identify(HWND window, JsonLine& out) {
  out.Raw("hwnd", HandleJson(window));
  out.Text("class", ClassOf(window));
  out.Text("title", TextOf(window));
  out.Number("pid", ProcessOf(window));
}

struct ChildList {
  std::wstring_view className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  ChildList& list = *reinterpret_cast<ChildList*>(param);
  if (IsWindowVisible(child) && ClassOf(child) == list.className) list.found.push_back(child);
  return TRUE;
}

std::vector<HWND> VisibleChildren(HWND parent, std::wstring_view className) {
  ChildList list{className, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&list));
  return list.found;
}

std::wstring WithoutMnemonic(std::wstring text) {
  std::erase(text, L'&');
  return text;
}

// A message box shows its icon in a visible SS_ICON static holding an icon.
bool HasVisibleIcon(HWND box) {
  for (HWND child : VisibleChildren(box, L"Static")) {
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) != SS_ICON) continue;
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
    if (icon != 0) return true;
  }
  return false;
}

BOOL CALLBACK ListWindow(HWND window, LPARAM param) {
  std::string& list = *reinterpret_cast<std::string*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  JsonLine item;
  Identify(window, item);
  list += (list.size() > 1 ? "," : "") + item.Finish();
  return TRUE;
}

}  // namespace

bool StepWindow(Session& session, const Args& args, JsonLine& out) {
  session.window = WaitForWindow(args[0], args[1], ToInt(args[2]));
  if (session.window == nullptr) return Fail(out, L"no such window");
  Identify(session.window, out);
  return true;
}

bool StepMessageBox(Session& session, const Args& args, JsonLine& out) {
  const HWND box = WaitForWindow(kMessageBoxClass, args[0], ToInt(args[1]));
  if (box == nullptr) return Fail(out, L"no message box");
  session.window = box;
  Identify(box, out);
  out.Text("text", TextOf(GetDlgItem(box, kMessageTextId)));
  std::string buttons = "[";
  for (HWND button : VisibleChildren(box, L"Button")) {
    JsonLine item;
    item.Number("id", GetDlgCtrlID(button));
    item.Text("text", TextOf(button));
    buttons += (buttons.size() > 1 ? "," : "") + item.Finish();
  }
  out.Raw("buttons", buttons + "]");
  out.Flag("icon", HasVisibleIcon(box));
  const HWND owner = GetWindow(box, GW_OWNER);
  out.Raw("owner", HandleJson(owner));
  out.Flag("started_process", ProcessOf(box) == session.pid);
  return true;
}

bool StepWindows(Session&, const Args& args, JsonLine& out) {
  Sleep(static_cast<DWORD>(ToInt(args[0])));
  std::string list = "[";
  EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&list));
  out.Raw("windows", list + "]");
  return true;
}

bool StepDump(Session& session, const Args&, JsonLine& out) {
  const HWND window = session.window;
  if (!IsWindow(window)) return Fail(out, L"no window chosen");
  Identify(window, out);
  out.Number("style", static_cast<long long>(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE))));
  out.Number("exstyle", static_cast<long long>(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE))));
  // Class icons cannot be read from another process under Wine; a
  // screenshot of the caption shows them instead.
  RECT rect{};
  GetWindowRect(window, &rect);
  out.Raw("rect", RectJson(rect));
  GetClientRect(window, &rect);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  out.Raw("client", RectJson({origin.x, origin.y, origin.x + rect.right, origin.y + rect.bottom}));
  out.Raw("owner", HandleJson(GetWindow(window, GW_OWNER)));
  out.Flag("enabled", IsWindowEnabled(window) != FALSE);
  out.Flag("foreground", GetForegroundWindow() == window);
  out.Flag("menu", GetMenu(window) != nullptr);
  return true;
}

bool StepButton(Session& session, const Args& args, JsonLine& out) {
  for (HWND button : VisibleChildren(session.window, L"Button")) {
    if (WithoutMnemonic(TextOf(button)) != args[0]) continue;
    out.Number("id", GetDlgCtrlID(button));
    PostMessageW(button, BM_CLICK, 0, 0);
    return true;
  }
  return Fail(out, L"no such button");
}

bool StepClose(Session& session, const Args&, JsonLine& out) {
  return PostMessageW(session.window, WM_CLOSE, 0, 0) || Fail(out, L"window gone");
}

// Clicks the close box of the session window's caption, found by asking the
// window itself where it is (WM_NCHITTEST), as the mouse would.
bool StepCloseButton(Session& session, const Args&, JsonLine& out) {
  const HWND window = session.window;
  RECT rect{};
  if (!IsWindow(window) || !GetWindowRect(window, &rect)) return Fail(out, L"no window chosen");
  const int border = GetSystemMetrics(SM_CXDLGFRAME);
  const POINT point{rect.right - border - GetSystemMetrics(SM_CXSIZE) / 2,
                    rect.top + border + GetSystemMetrics(SM_CYCAPTION) / 2};
  DWORD_PTR hit = 0;
  SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y), SMTO_ABORTIFHUNG,
                      2000, &hit);
  out.Raw("screen", "[" + std::to_string(point.x) + "," + std::to_string(point.y) + "]");
  if (hit != HTCLOSE) return Fail(out, L"no close box there");
  ClickAt(point);
  return true;
}

// Whether the window's thread still answers: WM_NULL within TIMEOUT_MS.
bool StepPing(Session& session, const Args& args, JsonLine& out) {
  const ULONGLONG start = GetTickCount64();
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutW(session.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                            static_cast<UINT>(ToInt(args[0])), &result) != 0;
  out.Number("ms", static_cast<long long>(GetTickCount64() - start));
  return answered || Fail(out, L"no answer");
}

// Invalidates the whole window and waits until it has painted itself again
// (its update region is empty).
bool StepRepaint(Session& session, const Args& args, JsonLine& out) {
  const HWND window = session.window;
  if (!IsWindow(window) || !InvalidateRect(window, nullptr, FALSE)) {
    return Fail(out, L"no window chosen");
  }
  const bool painted =
      WaitUntil(ToInt(args[0]), [&] { return !GetUpdateRect(window, nullptr, FALSE); });
  return painted || Fail(out, L"not repainted");
}

bool StepWaitGone(Session& session, const Args& args, JsonLine& out) {
  const HWND window = session.window;
  if (WaitUntil(ToInt(args[0]), [&] { return !IsWindow(window) || !IsWindowVisible(window); })) {
    return true;
  }
  return Fail(out, L"window still there");
}

}  // namespace e2e
