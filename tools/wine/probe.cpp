// wine_probe: what the scripts that run Wine ask of the prefix from inside it.
//   wine_probe face                 prints "face NAME", NAME the face GDI gives for
//                                   "MS Sans Serif" (the word tells it from what Wine says);
//                                   exit 0 when it is that face, not a stand-in
//   wine_probe start EXE CLASS SECONDS
//                                   starts EXE; prints "shown" once a visible
//                                   window of CLASS is up and drawn, then "ended"
//                                   when EXE ends; "none" if no window came
// A console program: its answer reaches the script on stdout even when it runs
// inside a virtual desktop, where explorer keeps the exit code to itself.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace {

int Say(const char* text, int code) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written,
            nullptr);
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "\n", 1, &written, nullptr);
  return code;
}

int Face() {
  constexpr wchar_t kWanted[] = L"MS Sans Serif";
  const HDC dc = CreateCompatibleDC(nullptr);
  const HFONT font =
      CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kWanted);
  const HGDIOBJ old = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  std::string answer = "face ";
  for (const wchar_t* c = face; *c != 0; ++c) answer += *c < 128 ? static_cast<char>(*c) : '?';
  return Say(answer.c_str(), std::wcscmp(face, kWanted) == 0 ? 0 : 1);
}

// Starts EXE in its own folder, as a double-click does, and waits for its
// window. Started by the same explorer that makes the virtual desktop, so it
// never races another program to create it.
int Start(const wchar_t* exe, const wchar_t* className, int seconds) {
  std::wstring folder = exe;
  folder.erase(folder.find_last_of(L'\\') + 1);
  std::wstring line = L"\"" + std::wstring(exe) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(exe, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &started) == FALSE) {
    return Say("none", 1);
  }
  CloseHandle(started.hThread);
  bool shown = false;
  for (int tick = 0; tick < seconds * 10; ++tick) {
    const HWND window = FindWindowW(className, nullptr);
    if (window != nullptr && IsWindowVisible(window) != FALSE) {
      WaitForInputIdle(started.hProcess, 5000);  // shown is not yet drawn
      Say("shown", 0);
      WaitForSingleObject(started.hProcess, INFINITE);
      shown = true;
      break;
    }
    if (WaitForSingleObject(started.hProcess, 100) == WAIT_OBJECT_0) break;
  }
  CloseHandle(started.hProcess);
  return shown ? Say("ended", 0) : Say("none", 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wcscmp(argv[1], L"face") == 0) return Face();
  if (argc == 5 && std::wcscmp(argv[1], L"start") == 0) {
    return Start(argv[2], argv[3], _wtoi(argv[4]));
  }
  return Say("usage: wine_probe face | start EXE CLASS SECONDS", 2);
}
