// A ShellServices that records every call and answers from a script.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "shell/ShellServices.h"

namespace startboard::testing {

inline constexpr WindowHandle kDesktop = 0x10010;
inline constexpr WindowHandle kMain = 0x20020;

struct ExecuteCall {
  WindowHandle window;
  std::string operation, file;
  std::optional<std::string> parameters, directory;
  int show;
  bool operator==(const ExecuteCall&) const = default;
};

struct MessageCall {
  std::string prompt;
  Buttons buttons;
  std::string title;
  bool operator==(const MessageCall&) const = default;
};

struct FindCall {
  std::string file;
  std::optional<std::string> directory;
  std::size_t bufferLength;
};

class RecordingShell : public ShellServices {
 public:
  // Scripted answers.
  std::string applicationDirectory = "E:\\";
  std::deque<LaunchResult> executeResults;  // 42 once empty
  LaunchResult findResult = 42;
  std::string foundProgram = "C:\\Browser\\browser.exe";
  std::deque<int> answers;  // 7 (No) once empty
  // The short form per call, with the result the system would give.
  std::deque<std::pair<std::uint32_t, std::string>> shortNames;

  // What happened, in order.
  std::vector<std::string> log;
  std::vector<ExecuteCall> executes;
  std::vector<MessageCall> messages;
  std::vector<FindCall> finds;
  std::vector<std::uint32_t> shortNameBufferLengths;
  std::vector<Form> modals;
  int endProgramCalls = 0;

  WindowHandle DesktopWindow() override {
    log.emplace_back("DesktopWindow");
    return kDesktop;
  }
  WindowHandle MainWindow() override {
    log.emplace_back("MainWindow");
    return kMain;
  }
  LaunchResult Execute(WindowHandle window, std::string_view operation, std::string_view file,
                       std::optional<std::string_view> parameters,
                       std::optional<std::string_view> directory, int show) override {
    log.push_back("Execute " + std::string(file));
    executes.push_back({window, std::string(operation), std::string(file),
                        parameters ? std::optional<std::string>(*parameters) : std::nullopt,
                        directory ? std::optional<std::string>(*directory) : std::nullopt, show});
    return Next(executeResults, 42);
  }
  LaunchResult FindExecutableFor(std::string_view file, std::optional<std::string_view> directory,
                                 std::string& buffer) override {
    log.push_back("FindExecutable " + std::string(file));
    finds.push_back({std::string(file),
                     directory ? std::optional<std::string>(*directory) : std::nullopt,
                     buffer.size()});
    if (Succeeded(findResult)) {
      // As the API does: the path and its NUL over the start of the buffer.
      buffer.replace(0, foundProgram.size() + 1, foundProgram + '\0');
    }
    return findResult;
  }
  std::uint32_t ShortPathName(std::string_view longPath, std::string& shortPath,
                              std::uint32_t bufferLength) override {
    log.push_back("ShortPathName " + std::string(longPath));
    shortNameBufferLengths.push_back(bufferLength);
    auto [result, text] = Next(shortNames, {0u, std::string()});
    shortPath = result > 0 && result < bufferLength ? text : std::string();
    return result;
  }
  std::string ApplicationDirectory() override {
    log.emplace_back("ApplicationDirectory");
    return applicationDirectory;
  }
  void ShowModal(Form form) override {
    log.emplace_back("ShowModal");
    modals.push_back(form);
  }
  void EndProgram() override {
    log.emplace_back("EndProgram");
    ++endProgramCalls;
  }

 protected:
  int ShowMessage(std::string_view prompt, Buttons buttons, std::string_view title) override {
    log.push_back("Message " + std::string(title));
    messages.push_back({std::string(prompt), buttons, std::string(title)});
    return Next(answers, 7);
  }

 private:
  template <class T>
  static T Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = queue.front();
    queue.pop_front();
    return value;
  }
};

}  // namespace startboard::testing
