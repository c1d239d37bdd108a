// JSON output and the helpers every step uses.
#include <cstdio>

#include "Driver.h"

namespace e2e {

std::string JsonLine::Quote(std::wstring_view text) {
  std::string quoted = "\"";
  for (const wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      // Everything outside printable ASCII is escaped, so the output stays
      // ASCII whatever the console's code page is.
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      quoted += escape;
    } else {
      quoted += static_cast<char>(c);
    }
  }
  return quoted + "\"";
}

void JsonLine::Key(std::string_view key) {
  if (!body_.empty()) body_ += ',';
  body_ += '"';
  body_ += key;
  body_ += "\":";
}

void JsonLine::Text(std::string_view key, std::wstring_view value) {
  Key(key);
  body_ += Quote(value);
}

void JsonLine::Number(std::string_view key, long long value) {
  Key(key);
  body_ += std::to_string(value);
}

void JsonLine::Flag(std::string_view key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
}

void JsonLine::Raw(std::string_view key, const std::string& json) {
  Key(key);
  body_ += json;
}

std::wstring ReadUtf8File(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  std::wstring text(bytes.size(), L'\0');
  text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  text.data(), static_cast<int>(text.size())));
  return text;
}

bool Fail(JsonLine& out, std::wstring_view message) {
  out.Text("error", message);
  return false;
}

int ToInt(const std::wstring& text) { return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10)); }

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 256)));
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::string HandleJson(HWND window) {
  return std::to_string(reinterpret_cast<std::uintptr_t>(window));
}

std::string RectJson(const RECT& rect) {
  return "[" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom) + "]";
}

bool ClientToScreenPoint(const Session& session, const Args& args, POINT& point, JsonLine& out) {
  if (!IsWindow(session.window)) return Fail(out, L"no window chosen");
  point = {ToInt(args[0]), ToInt(args[1])};
  ClientToScreen(session.window, &point);
  out.Raw("screen", "[" + std::to_string(point.x) + "," + std::to_string(point.y) + "]");
  return true;
}

}  // namespace e2e
