// e2e_driver: runs a script of steps inside a Wine virtual desktop and prints
// one JSON object per step on stdout. Each step finds, reads or operates
// windows and processes the way a user or the system would.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// What the steps share: the window the last finding step chose and the
// processes started by the script.
struct Session {
  HWND window = nullptr;
  HANDLE process = nullptr;  // the last started process
  DWORD pid = 0;
  std::vector<HANDLE> started;
};

using Args = std::vector<std::wstring>;

// Builds one JSON object, field by field.
class JsonLine {
 public:
  void Text(std::string_view key, std::wstring_view value);
  void Number(std::string_view key, long long value);
  void Flag(std::string_view key, bool value);
  void Raw(std::string_view key, const std::string& json);  // already JSON
  std::string Finish() const { return "{" + body_ + "}"; }
  static std::string Quote(std::wstring_view text);

 private:
  void Key(std::string_view key);
  std::string body_;
};

// A step gets its arguments and adds its results to `out`; it returns false
// with an "error" field when it could not do what it was asked.
using StepFunction = bool (*)(Session& session, const Args& args, JsonLine& out);

bool Fail(JsonLine& out, std::wstring_view message);
int ToInt(const std::wstring& text);
std::wstring ReadUtf8File(const std::wstring& path);  // "" when unreadable
std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);  // WM_GETTEXT, which also works across processes
DWORD ProcessOf(HWND window);
std::string HandleJson(HWND window);
std::string RectJson(const RECT& rect);  // [left,top,right,bottom]
// Polls `done` every 25 ms until it returns true or `timeoutMs` passes.
template <class Predicate>
bool WaitUntil(int timeoutMs, Predicate done) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(25);
  }
}
// A point given in the session window's client coordinates, on the screen.
bool ClientToScreenPoint(const Session& session, const Args& args, POINT& point, JsonLine& out);

// Moves the pointer to a screen point and clicks the left button there.
void ClickAt(POINT screenPoint);

// Windows (WindowSteps.cpp)
bool StepWindow(Session&, const Args&, JsonLine&);
bool StepMessageBox(Session&, const Args&, JsonLine&);
bool StepWindows(Session&, const Args&, JsonLine&);
bool StepDump(Session&, const Args&, JsonLine&);
bool StepButton(Session&, const Args&, JsonLine&);
bool StepClose(Session&, const Args&, JsonLine&);
bool StepWaitGone(Session&, const Args&, JsonLine&);
bool StepCloseButton(Session&, const Args&, JsonLine&);
bool StepPing(Session&, const Args&, JsonLine&);
bool StepRepaint(Session&, const Args&, JsonLine&);
// Input (InputSteps.cpp)
bool StepKey(Session&, const Args&, JsonLine&);
bool StepMove(Session&, const Args&, JsonLine&);
bool StepClick(Session&, const Args&, JsonLine&);
bool StepDoubleClick(Session&, const Args&, JsonLine&);
bool StepDrag(Session&, const Args&, JsonLine&);
bool StepTooltip(Session&, const Args&, JsonLine&);
// Screenshots (ImageSteps.cpp)
bool StepCapture(Session&, const Args&, JsonLine&);
// Processes and system state (ProcessSteps.cpp)
bool StepStart(Session&, const Args&, JsonLine&);
bool StepAssoc(Session&, const Args&, JsonLine&);
bool StepWaitExit(Session&, const Args&, JsonLine&);
bool StepSleep(Session&, const Args&, JsonLine&);
bool StepRead(Session&, const Args&, JsonLine&);
bool StepSettle(Session&, const Args&, JsonLine&);
bool StepWaitLines(Session&, const Args&, JsonLine&);
bool StepSweep(Session&, const Args&, JsonLine&);
bool StepShellOpen(Session&, const Args&, JsonLine&);
bool StepShortPath(Session&, const Args&, JsonLine&);
bool StepDriveType(Session&, const Args&, JsonLine&);
bool StepVersion(Session&, const Args&, JsonLine&);

}  // namespace e2e
