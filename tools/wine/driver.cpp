// e2e_driver: the test's eyes inside the Wine desktop. It reads one command a
// line from stdin (fields separated by tabs) and answers each with one JSON
// line, {"ok":true,...} or {"ok":false,"error":"..."}: it reads windows and
// message boxes, starts and waits for programs, sets file associations and
// draws text as a label would. (The pointer and the keyboard are the X
// server's, driven from outside.)
#include <oleacc.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;
using Error = std::wstring;  // empty when the command did what it was asked

std::string Json(std::wstring_view text) {  // ASCII out, whatever the code page
  std::string quoted = "\"";
  for (const wchar_t c : text) {
    char escape[8];
    (void)std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
    quoted += c >= 0x20 && c < 0x7F && c != L'"' && c != L'\\'
                  ? std::string(1, static_cast<char>(c))
                  : std::string(escape);
  }
  return quoted + "\"";
}

struct Out {
  std::string body;
  Out& Raw(const char* key, const std::string& json) {
    body += std::string(body.empty() ? "" : ",") + "\"" + key + "\":" + json;
    return *this;
  }
  Out& Number(const char* key, long long value) { return Raw(key, std::to_string(value)); }
  Out& Flag(const char* key, BOOL value) { return Raw(key, value != FALSE ? "true" : "false"); }
};

int Int(const std::wstring& text) {
  return static_cast<int>(std::wcstol(text.c_str(), nullptr, 0));
}
HWND Handle(const std::wstring& text) {
  return reinterpret_cast<HWND>(
      static_cast<std::uintptr_t>(std::wcstoull(text.c_str(), nullptr, 10)));
}
std::string HandleJson(HWND window) {
  return std::to_string(reinterpret_cast<std::uintptr_t>(window));
}
std::string RectJson(const RECT& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + "]";
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  return {name, static_cast<std::size_t>(GetClassNameW(window, name, 256))};
}

std::wstring TextOf(HWND window) {  // WM_GETTEXT works across processes
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length) == 0) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &length);
  text.resize(length);
  return text;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM list) {
  if (IsWindowVisible(window) != FALSE) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  }
  return TRUE;
}

// Visible windows: the top-level ones, or the children of `parent`.
std::vector<HWND> VisibleWindows(HWND parent = nullptr) {
  std::vector<HWND> found;
  if (parent == nullptr) {
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&found));
  } else {
    EnumChildWindows(parent, CollectVisible, reinterpret_cast<LPARAM>(&found));
  }
  return found;
}

Out& Identify(HWND window, Out& out) {
  return out.Raw("hwnd", HandleJson(window))
      .Raw("class", Json(ClassOf(window)))
      .Raw("title", Json(TextOf(window)))
      .Number("pid", ProcessOf(window))
      .Raw("owner", HandleJson(GetWindow(window, GW_OWNER)));
}

std::map<DWORD, HANDLE> started;  // the programs this driver started, by id

// --- Commands ---------------------------------------------------------------

Error Start(const Args& a, Out& out) {  // COMMAND_LINE DIRECTORY
  std::wstring line = a[0];
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, a[1].c_str(),
                     &startup, &process) == FALSE) {
    return L"CreateProcess failed";
  }
  CloseHandle(process.hThread);
  started[process.dwProcessId] = process.hProcess;
  out.Number("pid", process.dwProcessId);
  return {};
}

Error WaitExit(const Args& a, Out& out) {  // PID TIMEOUT_MS
  const auto process = started.find(static_cast<DWORD>(Int(a[0])));
  DWORD code = 0;
  if (process == started.end() ||
      WaitForSingleObject(process->second, static_cast<DWORD>(Int(a[1]))) != WAIT_OBJECT_0 ||
      GetExitCodeProcess(process->second, &code) == FALSE) {
    return L"still running";
  }
  out.Number("exit_code", code);
  return {};
}

// A window as the user sees it; for a message box also its text, its
// buttons and whether it shows an icon.
Error Info(HWND window, Out& out) {
  RECT rect{};
  if (GetWindowRect(window, &rect) == FALSE) return L"no such window";
  Identify(window, out)
      .Raw("rect", RectJson(rect))
      .Raw("text", Json(TextOf(GetDlgItem(window, 0xFFFF))));
  std::string buttons;
  BOOL icon = FALSE;
  for (HWND child : VisibleWindows(window)) {
    if (ClassOf(child) == L"Button") buttons += (buttons.empty() ? "" : ",") + Json(TextOf(child));
    DWORD_PTR shown = 0;
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &shown) != 0) {
      icon = static_cast<BOOL>(icon != FALSE || shown != 0);
    }
  }
  out.Raw("buttons", "[" + buttons + "]").Flag("icon", icon);
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  out.Raw("client", RectJson(rect))
      .Raw("work", RectJson(monitor.rcWork))
      .Number("style", static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)))
      .Number("exstyle", static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)))
      .Flag("enabled", IsWindowEnabled(window))
      .Flag("visible", IsWindowVisible(window))
      .Flag("foreground", static_cast<BOOL>(GetForegroundWindow() == window));
  return {};
}

Error WindowInfo(const Args& a, Out& out) { return Info(Handle(a[0]), out); }  // HWND

Error ListWindows(const Args& /*a*/, Out& out) {
  std::string list;
  for (HWND window : VisibleWindows()) {
    Out item;
    list += (list.empty() ? "{" : ",{") + Identify(window, item).body + "}";
  }
  out.Raw("windows", "[" + list + "]");
  return {};
}

// .EXT COMMAND ("" removes it), under HKLM\Software\Classes: the only place
// Wine's shell looks.
Error Associate(const Args& a, Out& /*out*/) {
  const std::wstring classes = L"Software\\Classes\\";
  const std::wstring progId = L"e2e" + a[0].substr(1) + L"file";
  for (const std::wstring& key : {a[0], progId}) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (classes + key).c_str());
  }
  const std::pair<std::wstring, std::wstring> values[] = {
      {a[0], progId}, {progId + L"\\shell\\open\\command", a[1]}};
  for (const auto& [key, value] : values) {
    if (!a[1].empty() &&
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, (classes + key).c_str(), nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) !=
            ERROR_SUCCESS) {
      return L"cannot write the registry";
    }
  }
  return {};
}

// FACE HEIGHT WEIGHT UNDERLINE WIDTH HEIGHT INK PAPER TEXT: the text drawn as
// a label draws it, INK on PAPER (0xRRGGBB), in a WIDTH x HEIGHT box; its
// pixels as a hexadecimal RRGGBB string, row after row; the face GDI chose;
// and the box the text needs at that width ([width, height]: its lines times
// the line height, wider than WIDTH when a word does not fit).
Error DrawLabel(const Args& a, Out& out) {
  const int width = Int(a[4]);
  const int height = Int(a[5]);
  const auto colour = [](const std::wstring& hex) {
    const int rgb = Int(hex);
    return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
  };
  const HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HFONT font = CreateFontW(Int(a[1]), 0, 0, 0, Int(a[2]), FALSE, Int(a[3]), FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, a[0].c_str());
  const HBRUSH paper = CreateSolidBrush(colour(a[7]));
  const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  const HGDIOBJ oldFont = SelectObject(dc, font);
  RECT box{0, 0, width, height};
  FillRect(dc, &box, paper);
  SetTextColor(dc, colour(a[6]));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, a[8].c_str(), static_cast<int>(a[8].size()), &box,
            DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  RECT needed{0, 0, width, 0};
  DrawTextW(dc, a[8].c_str(), static_cast<int>(a[8].size()), &needed,
            DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  GdiFlush();
  std::string pixels;
  for (int i = 0; i < width * height; ++i) {
    char hex[8];
    (void)std::snprintf(hex, sizeof hex, "%06lx", static_cast<const DWORD*>(bits)[i] & 0xFFFFFFUL);
    pixels += hex;
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(paper);
  DeleteObject(font);
  DeleteObject(bitmap);
  DeleteDC(dc);
  out.Raw("pixels", "\"" + pixels + "\"")
      .Raw("face", Json(face))
      .Raw("needed",
           "[" + std::to_string(needed.right) + "," + std::to_string(needed.bottom) + "]");
  return {};
}

// HWND: the window's client as a screen reader reads it through oleacc: its
// role, each child's name, role and state, and the focused child (0: none).
Error Accessible(const Args& a, Out& out) {
  IAccessible* client = nullptr;
  if (FAILED(AccessibleObjectFromWindow(Handle(a[0]), static_cast<DWORD>(OBJID_CLIENT),
                                        IID_IAccessible, reinterpret_cast<void**>(&client)))) {
    return L"no accessible object";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role{};
  client->get_accRole(self, &role);
  long count = 0;
  client->get_accChildCount(&count);
  std::string children;
  for (long i = 1; i <= count; ++i) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = i;
    BSTR name = nullptr;
    VARIANT childRole{};
    VARIANT state{};
    client->get_accName(child, &name);
    client->get_accRole(child, &childRole);
    client->get_accState(child, &state);
    children += std::string(children.empty() ? "" : ",") +
                "{\"name\":" + Json(name != nullptr ? name : L"") +
                ",\"role\":" + std::to_string(childRole.lVal) +
                ",\"state\":" + std::to_string(state.vt == VT_I4 ? state.lVal : -1) + "}";
    SysFreeString(name);
  }
  VARIANT focus{};
  client->get_accFocus(&focus);
  client->Release();
  out.Number("role", role.lVal)
      .Raw("children", "[" + children + "]")
      .Number("focus", focus.vt == VT_I4 ? focus.lVal : 0);
  return {};
}

struct Command {
  std::wstring_view name;
  // cppcheck-suppress unusedStructMember ; read through the table below
  std::size_t arguments;
  // cppcheck-suppress unusedStructMember ; read through the table below
  Error (*run)(const Args&, Out&);
};

constexpr Command kCommands[] = {
    {L"start", 2, Start},         {L"wait-exit", 2, WaitExit}, {L"info", 1, WindowInfo},
    {L"windows", 0, ListWindows}, {L"assoc", 2, Associate},    {L"ink", 9, DrawLabel},
    {L"acc", 1, Accessible},
};

Error Run(const std::vector<std::wstring>& fields, Out& out) {
  const auto* command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                     [&](const Command& c) { return c.name == fields[0]; });
  if (command == std::end(kCommands)) return L"unknown command";
  if (fields.size() < command->arguments + 1) return L"too few arguments";
  return command->run(Args(fields.begin() + 1, fields.end()), out);
}

}  // namespace

int wmain() {
  // Aware of every monitor's dpi, so that it reads real pixels.
  using SetContext = BOOL(WINAPI*)(HANDLE);
  if (const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")))) {
    set(reinterpret_cast<HANDLE>(-4));  // per monitor, version 2
  }
  CoInitialize(nullptr);
  (void)std::puts(R"({"ok":true})");
  (void)std::fflush(stdout);
  char buffer[8192];
  while (std::fgets(buffer, sizeof buffer, stdin) != nullptr) {
    std::wstring line(sizeof buffer, L'\0');
    line.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, buffer, -1, line.data(), static_cast<int>(line.size()))));
    std::vector<std::wstring> fields(1);
    for (const wchar_t c : line) {
      if (c == L'\t') {
        fields.emplace_back();
      } else if (c != L'\r' && c != L'\n' && c != L'\0') {
        fields.back() += c;
      }
    }
    Out out;
    const Error error = Run(fields, out);
    if (!error.empty()) out.Raw("error", Json(error));
    (void)std::printf("{\"ok\":%s%s%s}\n", error.empty() ? "true" : "false",
                      out.body.empty() ? "" : ",", out.body.c_str());
    (void)std::fflush(stdout);
  }
  return 0;
}
