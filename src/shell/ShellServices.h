// What the platform does for the launcher's commands: start a program or a
// document, find the program for a file, ask the user, and say where the
// launcher runs from. The commands reach the system only through this
// interface, so they build and are tested anywhere.
// Strings are UTF-8; the Windows implementation converts at its boundary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "brand/Data.h"

namespace startboard {

// Result of a shell call: greater than 32 means the request was carried out.
using LaunchResult = std::int32_t;
constexpr bool Succeeded(LaunchResult result) { return result > 32; }

// An opaque platform window handle.
using WindowHandle = std::uintptr_t;

// Message-box button sets, by their platform codes.
enum class Buttons : int { Ok = 0, YesNo = 4 };
constexpr int kAnswerYes = 6;

// The show command of every shell start: show the started program normally.
constexpr int kShowNormal = 1;

// Execute's result when the user declined the administrator prompt of a
// "runas" start (ERROR_CANCELLED): a failure no box reports.
constexpr LaunchResult kDeclined = -1223;

// What the brand's tables ask of the machine, for the platform to carry only
// the code a brand uses. Every language has the same zones and pages.
constexpr bool AsksMachine(const Language& language) {
  const auto asks = [](const auto& item) { return !item.when.empty() || !item.unless.empty(); };
  for (const HotZone& zone : language.zones) {
    if (asks(zone)) return true;
  }
  for (const Page& page : language.pages) {
    if (asks(page)) return true;
    for (const HotZone& zone : page.zones) {
      if (asks(zone)) return true;
    }
  }
  return false;
}
constexpr bool Elevates(const Language& language) {
  for (const Page& page : language.pages) {
    for (const HotZone& zone : page.zones) {
      if (zone.click.elevate) return true;
    }
  }
  for (const HotZone& zone : language.zones) {
    if (zone.click.elevate) return true;
  }
  return false;
}
inline constexpr bool kAsksMachine = AsksMachine(brand::kLanguages.front());
inline constexpr bool kElevates = Elevates(brand::kLanguages.front());

class ShellServices {
 public:
  // Boxes speak `language`: the user's, chosen at start.
  explicit ShellServices(const Language& language = brand::kLanguages.front())
      : language_(&language) {}
  ShellServices(const ShellServices&) = delete;
  ShellServices& operator=(const ShellServices&) = delete;
  virtual ~ShellServices() = default;

  virtual WindowHandle DesktopWindow() = 0;
  virtual WindowHandle MainWindow() = 0;

  // ShellExecute; ShellExecuteEx for the "runas" operation, which asks for
  // administrator rights. An empty optional stands for a null pointer, which
  // the shell treats differently from an empty string.
  virtual LaunchResult Execute(WindowHandle window, std::string_view operation,
                               std::string_view file, std::optional<std::string_view> parameters,
                               std::optional<std::string_view> directory, int show) = 0;

  // FindExecutable. `buffer` comes in as the caller's result buffer and goes
  // out as the shell left it: on success the program's path ended by a NUL,
  // followed by whatever the buffer held before.
  virtual LaunchResult FindExecutableFor(std::string_view file,
                                         std::optional<std::string_view> directory,
                                         std::string& buffer) = 0;

  // GetShortPathName with a buffer of `bufferLength` characters. Returns the
  // length written without the NUL (and fills `shortPath`), the size needed
  // including the NUL when the buffer is too small, or 0 on failure.
  virtual std::uint32_t ShortPathName(std::string_view longPath, std::string& shortPath,
                                      std::uint32_t bufferLength) = 0;

  // A modal message box with no icon; returns the button pressed. Without a
  // title the box carries the application's title.
  int Message(std::string_view prompt, Buttons buttons,
              std::optional<std::string_view> title = std::nullopt) {
    return ShowMessage(prompt, buttons, title.value_or(language_->title));
  }

  // The texts of the user's language.
  const Language& Texts() const { return *language_; }

  // The directory holding the running executable, as the system reports it.
  virtual std::string ApplicationDirectory() = 0;

  // What a condition asks of the machine. The version Windows really is
  // (whatever it tells old programs), the processor it runs on (x64 for a
  // 32-bit program on 64-bit Windows), whether a file or folder exists, and
  // whether a registry key (or a value in it) exists, in the 64-bit view on
  // 64-bit Windows unless `view32`.
  virtual WindowsVersion SystemVersion() = 0;
  virtual Machine NativeMachine() = 0;
  virtual bool PathExists(std::string_view path) = 0;
  virtual bool RegistryHas(Hive hive, std::string_view key, std::optional<std::string_view> value,
                           bool view32) = 0;

 protected:
  virtual int ShowMessage(std::string_view prompt, Buttons buttons, std::string_view title) = 0;

 private:
  const Language* language_;
};

}  // namespace startboard
