// Starting and ending processes, their environment and file associations.
#include "Driver.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>

namespace e2e {
namespace {

constexpr wchar_t kClassesRoot[] = L"Software\\Classes\\";

bool SetDefaultValue(const std::wstring& key, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClassesRoot + key).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const auto size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  const bool ok = RegSetValueExW(handle, nullptr, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(value.c_str()), size) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return ok;
}

void DeleteKey(const std::wstring& key) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClassesRoot + key).c_str());
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kClassesRoot + key).c_str());
}

std::wstring ImagePath(HANDLE process) {
  wchar_t path[MAX_PATH * 4];
  DWORD length = MAX_PATH * 4;
  if (!QueryFullProcessImageNameW(process, 0, path, &length)) return {};
  return std::wstring(path, length);
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
  return !prefix.empty() && text.size() >= prefix.size() &&
         CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                              static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool StepStart(Session& session, const Args& args, JsonLine& out) {
  std::wstring commandLine = args[0];
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const wchar_t* directory = args.size() > 1 && !args[1].empty() ? args[1].c_str() : nullptr;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, directory,
                      &startup, &process)) {
    out.Number("last_error", GetLastError());
    return Fail(out, L"CreateProcess failed");
  }
  CloseHandle(process.hThread);
  session.process = process.hProcess;
  session.pid = process.dwProcessId;
  session.started.push_back(process.hProcess);
  out.Number("pid", process.dwProcessId);
  return true;
}

// Opens FILE the way a double click in a file manager does: ShellExecuteEx
// with the shell's own error boxes. Such a box keeps the call from
// returning, so it runs on its own thread; after WAIT_MS the step reports
// either its outcome or that it is still inside the shell ("pending"). A
// started process becomes the session's process.
struct ShellOpenCall {
  std::wstring file;
  SHELLEXECUTEINFOW info{};
  BOOL ok = FALSE;
  DWORD error = 0;
};

DWORD WINAPI ShellOpenThread(void* param) {
  ShellOpenCall& c = *static_cast<ShellOpenCall*>(param);
  c.info.cbSize = sizeof c.info;
  c.info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  c.info.lpVerb = L"open";
  c.info.lpFile = c.file.c_str();
  c.info.nShow = SW_SHOWNORMAL;
  c.ok = ShellExecuteExW(&c.info);
  c.error = c.ok != FALSE ? 0 : GetLastError();
  return 0;
}

bool StepShellOpen(Session& session, const Args& args, JsonLine& out) {
  auto* call = new ShellOpenCall{args[0]};  // leaked while the shell still holds it
  const HANDLE thread = CreateThread(nullptr, 0, ShellOpenThread, call, 0, nullptr);
  if (thread == nullptr) return Fail(out, L"CreateThread failed");
  const bool pending =
      WaitForSingleObject(thread, static_cast<DWORD>(ToInt(args[1]))) != WAIT_OBJECT_0;
  CloseHandle(thread);
  out.Flag("pending", pending);
  if (pending) return true;
  out.Flag("succeeded", call->ok != FALSE);
  out.Number("last_error", call->error);
  out.Number("result", reinterpret_cast<INT_PTR>(call->info.hInstApp));
  if (call->ok && call->info.hProcess != nullptr) {
    session.process = call->info.hProcess;
    session.pid = GetProcessId(call->info.hProcess);
    session.started.push_back(call->info.hProcess);
  }
  delete call;
  return true;
}

// Associates `.ext` with an open command under HKLM\Software\Classes (the
// only place Wine's shell looks), or removes the association.
bool StepAssoc(Session&, const Args& args, JsonLine& out) {
  const std::wstring& extension = args[0];
  const std::wstring progId = L"e2e" + extension.substr(1) + L"file";
  DeleteKey(extension);
  DeleteKey(progId);
  if (args[1].empty()) return true;
  const bool ok = SetDefaultValue(extension, progId) &&
                  SetDefaultValue(progId + L"\\shell\\open\\command", args[1]);
  return ok || Fail(out, L"cannot write the registry");
}

bool StepWaitExit(Session& session, const Args& args, JsonLine& out) {
  if (session.process == nullptr) return Fail(out, L"nothing started");
  if (WaitForSingleObject(session.process, static_cast<DWORD>(ToInt(args[0]))) != WAIT_OBJECT_0) {
    return Fail(out, L"still running");
  }
  DWORD code = 0;
  GetExitCodeProcess(session.process, &code);
  out.Number("exit_code", code);
  return true;
}

bool StepSleep(Session&, const Args& args, JsonLine&) {
  Sleep(static_cast<DWORD>(ToInt(args[0])));
  return true;
}

bool StepRead(Session&, const Args& args, JsonLine& out) {
  out.Text("text", ReadUtf8File(args[0]));
  return true;
}

// Waits until FILE has at least N lines: a record log, to know that a
// started program has come up before the next click.
bool StepWaitLines(Session&, const Args& args, JsonLine& out) {
  long long lines = 0;
  const bool enough = WaitUntil(ToInt(args[2]), [&] {
    const std::wstring text = ReadUtf8File(args[0]);
    lines = static_cast<long long>(std::count(text.begin(), text.end(), L'\n'));
    return lines >= ToInt(args[1]);
  });
  out.Number("lines", lines);
  return enough || Fail(out, L"too few lines");
}

// Calls `visit(process, image)` for every other process whose executable
// lies below one of `prefixes`.
template <class Visitor>
bool ForEachProcessUnder(const Args& prefixes, Visitor visit) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) continue;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE |
                                           SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (process == nullptr) continue;
    const std::wstring image = ImagePath(process);
    for (const std::wstring& prefix : prefixes) {
      if (!StartsWithIgnoringCase(image, prefix)) continue;
      // A process that has just ended can linger in the snapshot.
      if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) visit(process, image);
      break;
    }
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return true;
}

// Waits until no process runs from the given folders or files, so a
// program the launcher started has finished before its record is read.
bool StepSettle(Session&, const Args& args, JsonLine& out) {
  const Args prefixes(args.begin() + 1, args.end());
  std::string running;
  const bool settled = WaitUntil(ToInt(args[0]), [&] {
    running = "[";
    ForEachProcessUnder(prefixes, [&](HANDLE, const std::wstring& image) {
      running += (running.size() > 1 ? "," : "") + JsonLine::Quote(image);
    });
    return running.size() == 1;
  });
  out.Raw("running", running + "]");
  return settled || Fail(out, L"still running");
}

// Ends every process run from the given folders or files, so that a failed
// scenario leaves nothing behind for the next one.
bool StepSweep(Session&, const Args& args, JsonLine& out) {
  std::string killed = "[";
  const bool listed = ForEachProcessUnder(args, [&](HANDLE process, const std::wstring& image) {
    if (!TerminateProcess(process, 1)) return;
    WaitForSingleObject(process, 5000);
    killed += (killed.size() > 1 ? "," : "") + JsonLine::Quote(image);
  });
  out.Raw("killed", killed + "]");
  return listed || Fail(out, L"no process snapshot");
}

// GetShortPathName of PATH: the 8.3 path by which a program in a folder too
// deep for its long path can still be opened.
bool StepShortPath(Session&, const Args& args, JsonLine& out) {
  std::wstring path(GetShortPathNameW(args[0].c_str(), nullptr, 0), L'\0');
  if (path.empty()) {
    out.Number("last_error", GetLastError());
    return Fail(out, L"GetShortPathName failed");
  }
  path.resize(GetShortPathNameW(args[0].c_str(), path.data(), static_cast<DWORD>(path.size())));
  out.Text("path", path);
  return true;
}

// GetDriveType of ROOT ("D:\\"), as a number: 5 is a CD-ROM drive.
bool StepDriveType(Session&, const Args& args, JsonLine& out) {
  out.Number("type", GetDriveTypeW(args[0].c_str()));
  return true;
}

// The Windows version the prefix reports: RtlGetVersion tells the truth,
// GetVersionEx what a program without a compatibility manifest is told.
bool StepVersion(Session&, const Args&, JsonLine& out) {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (rtlGetVersion == nullptr || rtlGetVersion(&info) != 0) {
    return Fail(out, L"RtlGetVersion failed");
  }
  out.Number("major", info.dwMajorVersion);
  out.Number("minor", info.dwMinorVersion);
  out.Number("build", info.dwBuildNumber);
  out.Text("service_pack", info.szCSDVersion);
  OSVERSIONINFOW told{};
  told.dwOSVersionInfoSize = sizeof told;
  if (!GetVersionExW(&told)) return Fail(out, L"GetVersionEx failed");
  out.Text("get_version_ex",
           std::to_wstring(told.dwMajorVersion) + L"." + std::to_wstring(told.dwMinorVersion));
  return true;
}

}  // namespace e2e
