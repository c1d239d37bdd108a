// Measures the launcher under Wine from inside its virtual desktop and
// writes key=value lines to <work dir>\results.txt; report.py turns them
// into the table. Every run's figure is written; medians are taken there.
//
// Usage: bench_driver.exe <work dir> <runs> [startup|hover|cpu|peak|about|click ...]
// The work dir holds, each in a folder of its own:
//   start\Startboard.exe    the bench build, alone
//   floor\bench_floor.exe   the floor program
//   product\Startboard.exe  the product build, without time stamps
//   click\Startboard.exe    the bench build; the driver puts an empty copy of
//                           the document its first open zone names beside it
//                           and has its type open bench_viewer.exe, which
//                           marks "opened"
// A brand without hover picture skips "hover"; one without About window, "about".
// Start-up and peak memory also run the launcher at kHighDpi; the desktop
// must be large enough for its window there.
// Exits 0 when every measurement ran, 2 when one broke (an "error=" line).
#include <windows.h>
// psapi.h needs the types windows.h declares.
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "brand/Data.h"

namespace {

using startboard::ActionKind;
using startboard::HotZone;
using startboard::brand::kMenuClient;
using startboard::brand::kMenuHover;
using startboard::brand::kZones;

constexpr wchar_t kMainClass[] = L"StartboardMain";
constexpr wchar_t kAboutClass[] = L"StartboardAbout";
constexpr wchar_t kFloorClass[] = L"StartboardFloor";
constexpr DWORD kTimeoutMs = 30000;
constexpr int kDefaultDpi = 96;
constexpr int kHighDpi = 144;
constexpr int kWarmUps = 2;
constexpr int kAboutCycles = 20;
constexpr int kMemoryRuns = 3;

std::wstring workDir;
std::FILE* results = nullptr;
std::vector<HANDLE> children;  // running children, ended if a measurement breaks
LONGLONG frequency = 1;

LONGLONG Now() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

double Ms(LONGLONG ticks) {
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency);
}

std::wstring Path(const wchar_t* relative) { return workDir + L"\\" + relative; }

std::string Narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

void Report(const char* key, const std::string& value) {
  // A lost line is caught by report.py, which needs every figure and "done".
  (void)std::fprintf(results, "%s=%s\n", key, value.c_str());
  (void)std::fflush(results);
}

void Report(const char* key, double value) {
  char text[64];
  (void)std::snprintf(text, sizeof text, "%.3f", value);
  Report(key, std::string(text));
}

void Report(const char* key, const std::vector<double>& values) {
  std::string joined;
  for (const double value : values) {
    char text[64];
    (void)std::snprintf(text, sizeof text, "%s%.3f", joined.empty() ? "" : ",", value);
    joined += text;
  }
  Report(key, joined);
}

[[noreturn]] void Fail(const std::string& what) {
  Report("error", what + " (error " + std::to_string(GetLastError()) + ")");
  (void)std::fclose(results);
  for (const HANDLE child : children) TerminateProcess(child, 1);
  ExitProcess(2);
}

// Reads a whole file, even one whose size is unknown up front (/proc).
std::string ReadWhole(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE && read > 0) {
    text.append(buffer, read);
  }
  CloseHandle(file);
  return text;
}

// The counters of every complete "<event> <counter> <frequency>" line.
std::vector<LONGLONG> Marks(const std::wstring& log, const char* event) {
  const std::string text = ReadWhole(log);
  const std::string wanted = std::string(event) + " ";
  std::vector<LONGLONG> marks;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    if (text.compare(start, wanted.size(), wanted) == 0) {
      marks.push_back(std::strtoll(text.c_str() + start + wanted.size(), nullptr, 10));
    }
  }
  return marks;
}

// One program started by the driver, with its marks going to a fresh log.
// It is ended (TerminateProcess) when the object goes.
class Child {
 public:
  Child(const std::wstring& exe, const wchar_t* log) : exe_(exe), log_(Path(log)) {
    DeleteFileW(log_.c_str());
    SetEnvironmentVariableW(L"STARTBOARD_BENCH_LOG", log_.c_str());
    std::wstring commandLine = L"\"" + exe + L"\"";
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = Now();
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, &info_) == FALSE) {
      Fail("cannot start " + Narrow(exe));
    }
    CloseHandle(info_.hThread);
    children.push_back(info_.hProcess);
  }
  ~Child() {
    children.erase(std::find(children.begin(), children.end(), info_.hProcess));
    TerminateProcess(info_.hProcess, 0);
    WaitForSingleObject(info_.hProcess, kTimeoutMs);
    CloseHandle(info_.hProcess);
    Sleep(300);  // let the desktop repaint where the window was
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  HANDLE Process() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }
  LONGLONG Started() const { return started_; }
  const std::wstring& Exe() const { return exe_; }
  std::vector<LONGLONG> Marks(const char* event) const { return ::Marks(log_, event); }

  // Waits until the log holds `count` lines of `event`, polling every 1 ms.
  std::vector<LONGLONG> WaitForMarks(const char* event, std::size_t count) const {
    WaitForInputIdle(info_.hProcess, kTimeoutMs);
    const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
    for (;;) {
      std::vector<LONGLONG> marks = Marks(event);
      if (marks.size() >= count) return marks;
      if (GetTickCount64() > deadline) {
        Fail(std::string("no '") + event + "' mark from " + Narrow(exe_));
      }
      Sleep(1);
    }
  }

  // The child's visible top-level window of `className`, once it exists.
  HWND WaitForWindow(const wchar_t* className) const {
    const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
    for (;;) {
      const HWND window = WindowOf(className);
      if (window != nullptr && IsWindowVisible(window) != FALSE) return window;
      if (GetTickCount64() > deadline) Fail("no window " + Narrow(className));
      Sleep(1);
    }
  }

  HWND WindowOf(const wchar_t* className) const {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == info_.dwProcessId) return window;
    }
    return nullptr;
  }

 private:
  std::wstring exe_;
  std::wstring log_;
  PROCESS_INFORMATION info_{};
  LONGLONG started_ = 0;
};

POINT ToScreen(HWND window, POINT client) {
  ClientToScreen(window, &client);
  return client;
}

void MoveMouse(POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void ClickMouse() {
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof inputs[0]);
}

// --- CPU: the Windows figure and, beside it, what Linux sees -------------

// Wine runs each Windows process as a Unix process whose command line is
// the Windows one: find the one started from `exe` in this prefix.
unsigned FindUnixPid(const std::wstring& exe) {
  wchar_t prefix[MAX_PATH] = L"";
  GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
  const std::string wantedEnvironment = "WINEPREFIX=" + Narrow(prefix) + std::string(1, '\0');
  const std::string wantedCommand = Narrow(exe);
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) Fail("cannot list /proc");
  unsigned found = 0;
  do {
    const std::wstring base = std::wstring(L"Z:\\proc\\") + entry.cFileName;
    if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
    if (ReadWhole(base + L"\\cmdline").find(wantedCommand) == std::string::npos) continue;
    if (ReadWhole(base + L"\\environ").find(wantedEnvironment) == std::string::npos) continue;
    found = static_cast<unsigned>(std::wcstoul(entry.cFileName, nullptr, 10));
  } while (found == 0 && FindNextFileW(search, &entry) != FALSE);
  FindClose(search);
  if (found == 0) Fail("no Unix process for " + wantedCommand);
  return found;
}

struct CpuSample {
  double windowsMs = 0;   // GetProcessTimes, user + kernel
  double linuxMs = 0;     // sum of the Unix threads' run time (schedstat, ns)
  long long wakeUps = 0;  // sum of the Unix threads' voluntary context switches
};

CpuSample SampleCpu(HANDLE process, unsigned unixPid) {
  CpuSample sample;
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  const auto hundredNs = [](FILETIME time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  sample.windowsMs = static_cast<double>(hundredNs(kernel) + hundredNs(user)) / 1e4;
  const std::wstring tasks = L"Z:\\proc\\" + std::to_wstring(unixPid) + L"\\task\\";
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileW((tasks + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) Fail("the Unix process is gone");
  constexpr char kSwitches[] = "\nvoluntary_ctxt_switches:";
  do {
    if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
    const std::wstring task = tasks + entry.cFileName;
    sample.linuxMs += std::strtod(ReadWhole(task + L"\\schedstat").c_str(), nullptr) / 1e6;
    const std::string status = ReadWhole(task + L"\\status");
    const std::size_t at = status.find(kSwitches);
    if (at != std::string::npos) {
      sample.wakeUps += std::strtoll(status.c_str() + at + sizeof kSwitches - 1, nullptr, 10);
    }
  } while (FindNextFileW(search, &entry) != FALSE);
  FindClose(search);
  return sample;
}

void ReportCpu(const std::string& name, const CpuSample& before, const CpuSample& after,
               LONGLONG ticks) {
  Report((name + "_cpu_ms").c_str(), after.windowsMs - before.windowsMs);
  Report((name + "_linux_cpu_ms").c_str(), after.linuxMs - before.linuxMs);
  Report((name + "_wakeups").c_str(), static_cast<double>(after.wakeUps - before.wakeUps));
  Report((name + "_seconds").c_str(), Ms(ticks) / 1000.0);
}

// --- Dots per inch ----------------------------------------------------------

// The middle of a zone in client pixels at `dpi`; Centre at 96, where
// everything but the hover measurement points at zones.
POINT CentreAt(const HotZone& zone, int dpi) {
  const startboard::PixelRect rect = zone.twips.At(dpi);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}
POINT Centre(const HotZone& zone) { return CentreAt(zone, kDefaultDpi); }

// The front-most zone whose click runs `kind` and leaves the launcher
// running: the bench opens a document and the About window the way the
// brand's zones do.
constexpr const HotZone& ZoneFor(ActionKind kind) {
  for (const HotZone& zone : kZones) {
    if (zone.click.kind == kind && !zone.click.thenQuit) return zone;
  }
  return kZones.front();
}
constexpr bool kHasAbout = ZoneFor(ActionKind::About).click.kind == ActionKind::About;
static_assert(ZoneFor(ActionKind::Open).click.kind == ActionKind::Open,
              "the bench clicks a zone that opens a document and leaves the launcher running");

// The dpi of the programs started from now on. Wine reads LogPixels when a
// process starts, so one started later in this same running prefix and
// desktop has the new value (measured); nothing needs restarting.
void SetDpi(int dpi) {
  HKEY key = nullptr;
  const auto value = static_cast<DWORD>(dpi);
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    Fail("cannot open HKCU\\Control Panel\\Desktop");
  }
  const LSTATUS status = RegSetValueExW(key, L"LogPixels", 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) Fail("cannot set LogPixels");
}

// kHighDpi for the programs started while it lives, 96 again after.
class HighDpi {
 public:
  HighDpi() { SetDpi(kHighDpi); }
  ~HighDpi() { SetDpi(kDefaultDpi); }
  HighDpi(const HighDpi&) = delete;
  HighDpi& operator=(const HighDpi&) = delete;
};

// Proof that a program runs at `dpi`: its client area is the picture's size
// scaled to it. The floor sizes itself the same way.
void CheckClient(const Child& child, const wchar_t* className, int dpi) {
  RECT client{};
  GetClientRect(child.WaitForWindow(className), &client);
  if (const startboard::PixelSize size = kMenuClient.SizeAt(dpi);
      client.right != size.width || client.bottom != size.height) {
    Fail(Narrow(className) + "'s client area is " + std::to_string(client.right) + " x " +
         std::to_string(client.bottom) + ", not the one for " + std::to_string(dpi) + " dpi");
  }
}

// --- The measurements -----------------------------------------------------

// Where a launcher's start-up goes, from its marks before the first paint:
// to the picture's work, loading the imaging DLLs (with COM), decoding,
// resizing, and from there to the paint. A part the picture does not need
// (no JPEG: no DLLs and no decoding) is 0.
constexpr const char* kParts[] = {"start", "dlls", "decode", "resize", "paint"};
using Parts = std::array<double, std::size(kParts)>;

Parts PartsOf(const Child& child, LONGLONG paint) {
  const auto before = [&](const char* event) {
    LONGLONG last = 0;  // the last mark before the paint; the lit pictures' come after
    for (const LONGLONG mark : child.Marks(event)) {
      if (mark <= paint) last = mark;
    }
    return last;
  };
  const LONGLONG art = before("art");
  if (art == 0) return {Ms(paint - child.Started()), 0, 0, 0, 0};
  const LONGLONG codec = before("codec");
  const LONGLONG decoded = before("decoded");
  const LONGLONG resized = before("resized");
  const bool jpeg = codec > art && decoded > codec;
  return {Ms(art - child.Started()), jpeg ? Ms(codec - art) : 0, jpeg ? Ms(decoded - codec) : 0,
          Ms(resized - (jpeg ? decoded : art)), Ms(paint - resized)};
}

// Counter just before CreateProcessW to the child's first complete paint,
// which must show its window at `dpi`; with `parts`, where the time went.
double StartupMs(const std::wstring& exe, const wchar_t* className, int dpi,
                 Parts* parts = nullptr) {
  const Child child(exe, L"start.log");
  const LONGLONG paint = child.WaitForMarks("paint", 1).front();
  CheckClient(child, className, dpi);
  if (parts != nullptr) *parts = PartsOf(child, paint);
  return Ms(paint - child.Started());
}

// Floor and launcher at 96 dpi, then both at kHighDpi, by turns, so that
// other load on the machine falls on all four alike.
void MeasureStartup(int runs) {
  const std::wstring floorExe = Path(L"floor\\bench_floor.exe");
  const std::wstring launcherExe = Path(L"start\\Startboard.exe");
  std::vector<double> floor;
  std::vector<double> launcher;
  std::vector<double> highFloor;
  std::vector<double> high;
  std::array<std::vector<double>, std::size(kParts)> highParts;
  for (int run = 0; run < kWarmUps + runs; ++run) {
    const double floorMs = StartupMs(floorExe, kFloorClass, kDefaultDpi);
    const double launcherMs = StartupMs(launcherExe, kMainClass, kDefaultDpi);
    double highFloorMs = 0;
    double highMs = 0;
    Parts parts{};
    {
      const HighDpi highDpi;
      highFloorMs = StartupMs(floorExe, kFloorClass, kHighDpi);
      highMs = StartupMs(launcherExe, kMainClass, kHighDpi, &parts);
    }
    if (run < kWarmUps) continue;
    floor.push_back(floorMs);
    launcher.push_back(launcherMs);
    highFloor.push_back(highFloorMs);
    high.push_back(highMs);
    for (std::size_t part = 0; part < parts.size(); ++part) highParts[part].push_back(parts[part]);
  }
  for (std::size_t part = 0; part < highParts.size(); ++part) {
    Report(("startup_hidpi_part_" + std::string(kParts[part]) + "_ms").c_str(), highParts[part]);
  }
  Report("startup_floor_ms", floor);
  Report("startup_launcher_ms", launcher);
  Report("startup_floor_hidpi_ms", highFloor);
  Report("startup_launcher_hidpi_ms", high);
  // What every high-dpi run was checked to show.
  Report("hidpi_dpi", kHighDpi);
  const startboard::PixelSize client = kMenuClient.SizeAt(kHighDpi);
  Report("hidpi_client", std::to_string(client.width) + "x" + std::to_string(client.height));
}

// From a pointer move into a zone, from outside the window, to the zone's
// part drawn from the hover picture ("lit" mark), for every clickable zone
// by turns. The lit pictures are made after the first paint; the pointer
// waits a second for them.
std::vector<double> HoverMs(int dpi, int runs) {
  SetCursorPos(2, 2);
  const Child child(Path(L"start\\Startboard.exe"), L"hover.log");
  child.WaitForMarks("paint", 1);
  const HWND main = child.WaitForWindow(kMainClass);
  CheckClient(child, kMainClass, dpi);
  Sleep(1000);
  std::vector<const HotZone*> lit;
  for (const HotZone& zone : kZones) {
    if (zone.click.kind != ActionKind::None) lit.push_back(&zone);
  }
  std::vector<double> ms;
  for (int run = 0; run < kWarmUps + runs; ++run) {
    const POINT centre = CentreAt(*lit[static_cast<std::size_t>(run) % lit.size()], dpi);
    MoveMouse(ToScreen(main, {-30, centre.y}));
    Sleep(150);  // the pointer has left and the zone it left is plain again
    const std::size_t before = child.Marks("lit").size();
    const LONGLONG moved = Now();
    MoveMouse(ToScreen(main, centre));
    const LONGLONG drawn = child.WaitForMarks("lit", before + 1)[before];
    if (run >= kWarmUps) ms.push_back(Ms(drawn - moved));
  }
  return ms;
}

void MeasureHover(int runs) {
  if constexpr (kMenuHover.Present()) {
    Report("hover_lit_ms", HoverMs(kDefaultDpi, runs));
    const HighDpi highDpi;
    Report("hover_lit_hidpi_ms", HoverMs(kHighDpi, runs));
  }
}

void MeasureIdle(const Child& child, unsigned unixPid) {
  const CpuSample before = SampleCpu(child.Process(), unixPid);
  const LONGLONG start = Now();
  Sleep(10000);
  ReportCpu("idle", before, SampleCpu(child.Process(), unixPid), Now() - start);
}

// 10 s of moves, 100 a second, round a loop through every zone (back to
// front) and out of the window on both sides.
void MeasureMouse(const std::string& name, const Child& child, HWND window, unsigned unixPid) {
  std::vector<POINT> stops{{-30, Centre(kZones.back()).y}};
  std::transform(kZones.rbegin(), kZones.rend(), std::back_inserter(stops), Centre);
  stops.push_back({kMenuClient.SizeAt(kDefaultDpi).width + 30, stops.back().y});
  constexpr int kStepsPerLeg = 40;
  const int legs = static_cast<int>(stops.size());
  int moves = 0;
  POINT target{};
  const CpuSample before = SampleCpu(child.Process(), unixPid);
  const LONGLONG start = Now();
  for (; Now() - start < 10 * frequency; ++moves) {
    while (Now() - start < moves * frequency / 100) Sleep(1);
    const int leg = (moves / kStepsPerLeg) % legs;
    const int step = moves % kStepsPerLeg;
    const POINT from = stops[leg];
    const POINT to = stops[(leg + 1) % legs];
    target = ToScreen(window, {from.x + (to.x - from.x) * step / kStepsPerLeg,
                               from.y + (to.y - from.y) * step / kStepsPerLeg});
    MoveMouse(target);
  }
  ReportCpu(name, before, SampleCpu(child.Process(), unixPid), Now() - start);
  Report((name + "_moves").c_str(), moves);
  // Input is applied asynchronously, later on a busy machine; the last move
  // must arrive.
  const ULONGLONG deadline = GetTickCount64() + 2000;
  for (POINT now{}; GetCursorPos(&now) == FALSE || std::abs(now.x - target.x) > 1 ||
                    std::abs(now.y - target.y) > 1;) {
    if (GetTickCount64() > deadline) {
      Fail("mouse moves do not arrive: the pointer is at " + std::to_string(now.x) + ", " +
           std::to_string(now.y) + ", not " + std::to_string(target.x) + ", " +
           std::to_string(target.y));
    }
    Sleep(10);
  }
}

// The product launcher idle, then under mouse moves; the floor program
// under the same moves shows what Wine itself costs per move.
void MeasureCpu(int /*runs*/) {
  SetCursorPos(2, 2);  // away from the window, so no tooltip is pending
  {
    const Child launcher(Path(L"product\\Startboard.exe"), L"idle.log");
    WaitForInputIdle(launcher.Process(), kTimeoutMs);
    const HWND main = launcher.WaitForWindow(kMainClass);
    Sleep(2000);
    const unsigned unixPid = FindUnixPid(launcher.Exe());
    MeasureIdle(launcher, unixPid);
    MeasureMouse("mouse", launcher, main, unixPid);
  }
  SetCursorPos(2, 2);
  const Child floor(Path(L"floor\\bench_floor.exe"), L"idle.log");
  floor.WaitForMarks("paint", 1);
  const HWND window = floor.WaitForWindow(kFloorClass);
  Sleep(2000);
  MeasureMouse("floor_mouse", floor, window, FindUnixPid(floor.Exe()));
}

struct Usage {
  double peakKib = 0;
  double workingSetKib = 0;
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
};

Usage ReadUsage(DWORD processId) {
  Usage usage;
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (process == nullptr || GetProcessMemoryInfo(process, &counters, sizeof counters) == FALSE) {
    Fail("GetProcessMemoryInfo");
  }
  usage.peakKib = static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
  usage.workingSetKib = static_cast<double>(counters.WorkingSetSize) / 1024.0;
  usage.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  usage.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  CloseHandle(process);
  return usage;
}

// The base names of the DLLs loaded in a process, comma separated.
std::string Modules(DWORD processId) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  HMODULE modules[512];
  DWORD bytes = 0;
  std::string names;
  if (process != nullptr && EnumProcessModules(process, modules, sizeof modules, &bytes) != FALSE) {
    // The first module is the program itself.
    for (DWORD i = 1; i < std::min<DWORD>(bytes / sizeof(HMODULE), 512); ++i) {
      wchar_t name[MAX_PATH];
      if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH) == 0) continue;
      names += (names.empty() ? "" : ",") + Narrow(CharLowerW(name));
    }
  }
  if (process != nullptr) CloseHandle(process);
  return names;
}

// Peak working set one second after the first paint, and the loaded modules.
// The product has no time stamps, so for both programs the first paint is
// done once the program first waits for input (both paint before their
// message loop) and its window shows, at `dpi`. The pointer is parked off
// the window: a window that appears under it gets a mouse move, and the
// launcher prepares its tooltips on the first one.
double PeakKib(const std::wstring& exe, const wchar_t* className, int dpi, std::string& modules) {
  SetCursorPos(2, 2);
  const Child child(exe, L"memory.log");
  WaitForInputIdle(child.Process(), kTimeoutMs);
  CheckClient(child, className, dpi);
  Sleep(1000);
  modules = Modules(child.Id());
  return ReadUsage(child.Id()).peakKib;
}

void MeasurePeak(int /*runs*/) {
  const std::wstring floorExe = Path(L"floor\\bench_floor.exe");
  const std::wstring launcherExe = Path(L"product\\Startboard.exe");
  std::vector<double> floor;
  std::vector<double> launcher;
  std::vector<double> highFloor;
  std::vector<double> high;
  std::string floorModules;
  std::string launcherModules;
  std::string highModules;
  for (int run = 0; run < kMemoryRuns; ++run) {
    floor.push_back(PeakKib(floorExe, kFloorClass, kDefaultDpi, floorModules));
    launcher.push_back(PeakKib(launcherExe, kMainClass, kDefaultDpi, launcherModules));
    const HighDpi highDpi;
    highFloor.push_back(PeakKib(floorExe, kFloorClass, kHighDpi, floorModules));
    high.push_back(PeakKib(launcherExe, kMainClass, kHighDpi, highModules));
  }
  Report("peak_floor_kib", floor);
  Report("peak_launcher_kib", launcher);
  Report("peak_floor_hidpi_kib", highFloor);
  Report("peak_launcher_hidpi_kib", high);
  Report("modules_floor", floorModules);
  Report("modules_launcher", launcherModules);
  Report("modules_launcher_hidpi", highModules);
}

// A click on the logo opens the modal About window; WM_CLOSE ends it.
void OpenAndCloseAbout(const Child& child, HWND main) {
  const POINT logo = Centre(ZoneFor(ActionKind::About));
  PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(logo.x, logo.y));
  PostMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(logo.x, logo.y));
  const HWND about = child.WaitForWindow(kAboutClass);
  PostMessageW(about, WM_CLOSE, 0, 0);
  const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
  while (IsWindowVisible(about) != FALSE || IsWindowEnabled(main) == FALSE) {
    if (GetTickCount64() > deadline) Fail("About window does not close");
    Sleep(1);
  }
  WaitForInputIdle(child.Process(), kTimeoutMs);
}

void MeasureAboutCycles(int /*runs*/) {
  if constexpr (!kHasAbout) return;
  const Child child(Path(L"product\\Startboard.exe"), L"about.log");
  WaitForInputIdle(child.Process(), kTimeoutMs);
  const HWND main = child.WaitForWindow(kMainClass);
  Sleep(1000);
  std::vector<double> workingSets;
  Usage first;
  for (int cycle = 1; cycle <= kAboutCycles; ++cycle) {
    OpenAndCloseAbout(child, main);
    Sleep(100);
    const Usage usage = ReadUsage(child.Id());
    if (cycle == 1) first = usage;
    workingSets.push_back(usage.workingSetKib);
  }
  const Usage last = ReadUsage(child.Id());
  Report("about_ws_kib", workingSets);
  Report("about_gdi_first", first.gdiObjects);
  Report("about_gdi_last", last.gdiObjects);
  Report("about_user_first", first.userObjects);
  Report("about_user_last", last.userObjects);
}

// Waits until the window's thread takes messages again.
void WaitUntilAnswering(HWND window) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, kTimeoutMs, &result) == 0) {
    Fail("the launcher does not answer");
  }
}

// An empty copy of the open zone's document beside the click launcher, its
// type opened by the stand-in viewer. Wine reads associations from HKLM only.
void MakeDocument() {
  std::wstring relative(ZoneFor(ActionKind::Open).click.path.begin(),
                        ZoneFor(ActionKind::Open).click.path.end());
  std::replace(relative.begin(), relative.end(), L'/', L'\\');
  const std::wstring document = Path(L"click\\") + relative;
  for (std::size_t slash = document.find(L'\\', workDir.size() + 1); slash != std::wstring::npos;
       slash = document.find(L'\\', slash + 1)) {
    CreateDirectoryW(document.substr(0, slash).c_str(), nullptr);
  }
  const HANDLE file = CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot write " + Narrow(document));
  CloseHandle(file);
  const std::size_t dot = relative.find_last_of(L'.');
  if (dot == std::wstring::npos) Fail("the open zone's document has no type");
  const std::wstring viewer = L"\"" + Path(L"bench_viewer.exe") + L"\" \"%1\"";
  const auto set = [](const std::wstring& key, const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    if (RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, value.c_str(), bytes) !=
        ERROR_SUCCESS) {
      Fail("cannot register " + Narrow(key));
    }
  };
  set(L"Software\\Classes\\" + relative.substr(dot), L"benchdocument");
  set(L"Software\\Classes\\benchdocument\\shell\\open\\command", viewer);
}

// Real clicks on the open zone; each waits for the stand-in viewer the
// shell starts. The first click is a warm-up. A click that arrives while
// the previous shell call still runs is dropped by the launcher, by
// design: it is counted and clicked again.
void MeasureClick(int runs) {
  MakeDocument();
  const Child child(Path(L"click\\Startboard.exe"), L"click.log");
  child.WaitForMarks("paint", 1);
  const HWND main = child.WaitForWindow(kMainClass);
  // A click in the first moments can race the window's activation, which
  // cancels the press; a user does not click that fast.
  Sleep(1000);
  int dropped = 0;
  for (std::size_t click = 0; click <= static_cast<std::size_t>(runs); ++click) {
    // Alternate between two points further apart than the double-click
    // rectangle, so no click turns into a double click.
    const POINT centre = Centre(ZoneFor(ActionKind::Open));
    const POINT target = ToScreen(main, {centre.x + (click % 2 == 0 ? -20 : 20), centre.y});
    for (;;) {
      const std::size_t handled = child.Marks("click").size();
      SetCursorPos(target.x, target.y);
      ClickMouse();
      child.WaitForMarks("click", handled + 1);
      WaitUntilAnswering(main);
      if (child.Marks("shell").size() > click) break;
      if (++dropped > runs) Fail("clicks on the manual zone make no shell call");
    }
    child.WaitForMarks("opened", click + 1);
  }
  const std::vector<LONGLONG> clicks = child.Marks("click");
  const std::vector<LONGLONG> shells = child.Marks("shell");
  if (shells.size() != static_cast<std::size_t>(runs) + 1) {
    Fail("a click made no single shell call");
  }
  std::vector<double> micros;
  for (std::size_t i = 1; i < shells.size(); ++i) {
    // The click that led to this shell call is the last one before it.
    const auto after = std::upper_bound(clicks.begin(), clicks.end(), shells[i]);
    if (after == clicks.begin()) Fail("shell call without a click");
    micros.push_back(Ms(shells[i] - *(after - 1)) * 1000.0);
  }
  Report("click_shell_us", micros);
  Report("click_dropped", dropped);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Optional names after <runs> pick measurements; by default all run.
  const struct {
    const wchar_t* name;
    void (*run)(int runs);
  } kMeasurements[] = {{L"startup", MeasureStartup},   {L"hover", MeasureHover},
                       {L"cpu", MeasureCpu},           {L"peak", MeasurePeak},
                       {L"about", MeasureAboutCycles}, {L"click", MeasureClick}};
  if (argc < 3) return 1;
  workDir = argv[1];
  const int runs = std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
  results = _wfopen(Path(L"results.txt").c_str(), L"w");
  if (results == nullptr) return 1;
  LARGE_INTEGER counts{};
  QueryPerformanceFrequency(&counts);
  frequency = counts.QuadPart;
  for (const auto& measurement : kMeasurements) {
    const bool chosen = argc == 3 || std::any_of(argv + 3, argv + argc, [&](const wchar_t* name) {
                          return std::wcscmp(name, measurement.name) == 0;
                        });
    if (chosen) measurement.run(runs);
  }
  Report("done", 1);
  (void)std::fclose(results);  // everything is flushed already
  return 0;
}
