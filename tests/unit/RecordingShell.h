// A ShellServices that answers from a script and writes down every call
// with an effect, one line each, fields separated by '|': for example
// "Execute|desktop|Open|E:\manual\manual.pdf||C:\|1". A null string is
// written "<null>", so it differs from an empty one.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "shell/ShellServices.h"

namespace startboard::testing {

using Calls = std::vector<std::string>;

class RecordingShell final : public ShellServices {
 public:
  using ShellServices::ShellServices;
  std::string directory = "E:\\";
  std::deque<LaunchResult> starts;  // Execute's results; 42 once none is left
  LaunchResult lookup = 42;         // FindExecutable's result
  std::string browser = R"(C:\Program Files\Web Browser\browser.exe)";
  std::deque<int> answers;  // the buttons pressed; 7 (No) once none is left
  // GetShortPathName's result and short path, per call.
  std::deque<std::pair<std::uint32_t, std::string>> shortNames;
  // The machine conditions ask about: what exists, as the shell would spell it.
  WindowsVersion version{10, 0, 19045};
  Machine machine = kX64;
  std::vector<std::string> paths;     // "E:\x64\setup.exe"
  std::vector<std::string> registry;  // "HKLM|64|SOFTWARE\Atlas" or "...|SOFTWARE\Atlas|Path"
  Calls calls;

  WindowHandle DesktopWindow() override { return 0x10010; }
  WindowHandle MainWindow() override { return 0x20020; }
  LaunchResult Execute(WindowHandle window, std::string_view operation, std::string_view file,
                       std::optional<std::string_view> parameters,
                       std::optional<std::string_view> directoryName, int show) override {
    Record("Execute",
           window == DesktopWindow() ? "desktop"
           : window == MainWindow()  ? "main"
                                     : "?",
           operation, file, Text(parameters), Text(directoryName), std::to_string(show));
    return Next(starts, 42);
  }
  LaunchResult FindExecutableFor(std::string_view file, std::optional<std::string_view> folder,
                                 std::string& buffer) override {
    Record("FindExecutable", file, Text(folder), std::to_string(buffer.size()));
    // As the system does: the path and its NUL over the start of the buffer.
    if (Succeeded(lookup)) buffer.replace(0, browser.size() + 1, browser + '\0');
    return lookup;
  }
  std::uint32_t ShortPathName(std::string_view longPath, std::string& shortPath,
                              std::uint32_t bufferLength) override {
    Record("ShortPathName", longPath, std::to_string(bufferLength));
    const auto [result, text] = Next(shortNames, {0U, std::string()});
    // Unless it worked, the buffer holds blanks, which must never be used.
    shortPath = result > 0 && result < bufferLength ? text : std::string(bufferLength, ' ');
    return result;
  }
  std::string ApplicationDirectory() override { return directory; }
  WindowsVersion SystemVersion() override { return version; }
  Machine NativeMachine() override { return machine; }
  bool PathExists(std::string_view path) override { return Has(paths, std::string(path)); }
  bool RegistryHas(Hive hive, std::string_view key, std::optional<std::string_view> value,
                   bool view32) override {
    const std::string where = std::string(hive == Hive::LocalMachine ? "HKLM|" : "HKCU|") +
                              (view32 ? "32|" : "64|") + std::string(key) +
                              (value ? "|" + std::string(*value) : "");
    Record("Registry", where);
    return Has(registry, where);
  }

 protected:
  int ShowMessage(std::string_view prompt, Buttons buttons, std::string_view title) override {
    Record("Message", prompt, std::to_string(static_cast<int>(buttons)), title);
    return Next(answers, 7);
  }

 private:
  static bool Has(const std::vector<std::string>& list, const std::string& item) {
    for (const std::string& each : list) {
      if (each == item) return true;
    }
    return false;
  }
  static std::string Text(std::optional<std::string_view> text) {
    return text ? std::string(*text) : "<null>";
  }
  template <class... Fields>
  void Record(std::string_view name, const Fields&... fields) {
    calls.push_back((std::string(name) + ... + ("|" + std::string(fields))));
  }
  template <class T>
  static T Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = queue.front();
    queue.pop_front();
    return value;
  }
};

}  // namespace startboard::testing
