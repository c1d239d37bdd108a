// Reads a script (UTF-8, one step a line, fields separated by tabs, '#'
// starts a comment) and runs it. A failed step skips the rest up to a line
// "finally"; the steps after that line always run.
// Usage: e2e_driver.exe SCRIPT
#include <cstdio>
#include <string>

#include "Driver.h"

namespace e2e {
namespace {

struct StepDef {
  std::wstring_view name;
  std::size_t minArgs;
  StepFunction run;
};

constexpr StepDef kSteps[] = {
    {L"window", 3, StepWindow},        // CLASS TITLE TIMEOUT_MS ("" matches any)
    {L"msgbox", 2, StepMessageBox},    // TITLE TIMEOUT_MS
    {L"windows", 1, StepWindows},      // WAIT_MS: then list visible top-level windows
    {L"on-screen", 1, StepWindows},    // the same, for the log at the end of a script
    {L"dump", 0, StepDump},
    {L"button", 1, StepButton},        // TEXT (without '&'): BM_CLICK
    {L"close", 0, StepClose},          // posts WM_CLOSE
    {L"wait-gone", 1, StepWaitGone},   // TIMEOUT_MS
    {L"close-button", 0, StepCloseButton},  // clicks the caption's close box
    {L"ping", 1, StepPing},            // TIMEOUT_MS: WM_NULL must be answered
    {L"repaint", 1, StepRepaint},      // TIMEOUT_MS: invalidate, wait for the paint
    {L"key", 1, StepKey},              // [MODIFIER+]NAME, typed into the session window
    {L"move", 2, StepMove},            // X Y in client coordinates
    {L"click", 2, StepClick},          // X Y
    {L"dblclick", 2, StepDoubleClick}, // X Y
    {L"drag", 4, StepDrag},            // X1 Y1 X2 Y2
    {L"tooltip", 1, StepTooltip},      // TIMEOUT_MS [TEXT]
    {L"capture", 1, StepCapture},      // FILE.bmp
    {L"start", 1, StepStart},          // COMMAND_LINE [DIRECTORY]
    {L"shell-open", 2, StepShellOpen}, // FILE WAIT_MS: as a file manager's double click does
    {L"assoc", 2, StepAssoc},          // .EXT COMMAND ("" removes it)
    {L"wait-exit", 1, StepWaitExit},   // TIMEOUT_MS
    {L"sleep", 1, StepSleep},          // MS
    {L"read", 1, StepRead},            // FILE: its text, "" when it does not exist
    {L"settle", 2, StepSettle},        // TIMEOUT_MS PATH_PREFIX...: waits for them to end
    {L"wait-lines", 3, StepWaitLines}, // FILE N TIMEOUT_MS: waits for N lines in FILE
    {L"sweep", 1, StepSweep},          // PATH_PREFIX...: ends processes run from there
    {L"short-path", 1, StepShortPath}, // PATH: its short (8.3) form
    {L"drive-type", 1, StepDriveType}, // ROOT: GetDriveType
    {L"version", 0, StepVersion},      // the Windows version the prefix reports
};

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::wstring::npos) return parts;
    start = end + 1;
  }
}

void Print(const std::string& line) {
  DWORD written = 0;
  const std::string withEnd = line + "\n";
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), withEnd.data(), static_cast<DWORD>(withEnd.size()),
            &written, nullptr);
}

// Runs one script line; returns false when the step failed.
bool RunLine(Session& session, std::vector<std::wstring> fields) {
  JsonLine out;
  out.Text("step", fields[0]);
  const Args args(fields.begin() + 1, fields.end());
  bool ok = false;
  bool known = false;
  for (const StepDef& step : kSteps) {
    if (step.name != fields[0]) continue;
    known = true;
    ok = args.size() >= step.minArgs ? step.run(session, args, out)
                                     : Fail(out, L"too few arguments");
  }
  if (!known) Fail(out, L"unknown step");
  out.Flag("ok", ok);
  Print(out.Finish());
  return ok;
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: e2e_driver SCRIPT\n", stderr);
    return 2;
  }
  e2e::Session session;
  bool failed = false;
  bool inFinally = false;
  for (std::wstring line : e2e::Split(e2e::ReadUtf8File(argv[1]), L'\n')) {
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.empty() || line[0] == L'#') continue;
    if (line == L"finally") {
      inFinally = true;
      continue;
    }
    if (failed && !inFinally) continue;
    if (!e2e::RunLine(session, e2e::Split(line, L'\t'))) failed = true;
  }
  e2e::Print(failed ? "{\"step\":\"end\",\"ok\":false}" : "{\"step\":\"end\",\"ok\":true}");
  for (HANDLE process : session.started) CloseHandle(process);
  return failed ? 1 : 0;
}
