#include "launch/Actions.h"

#include <string>

#include "brand/Data.h"
#include "launch/DiscPaths.h"

namespace startboard {

namespace {

// Code 31, no program for the file's type, has the document's own text.
constexpr LaunchResult kNoAssociation = 31;
constexpr std::string_view kStartDirectory = "C:\\";

}  // namespace

bool RunAction(ShellServices& shell, const Action& action) {
  switch (action.kind) {
    case ActionKind::Open:
      return ShowDocument(shell, action.path, action.noProgram);
    case ActionKind::Install:
      return Install(shell, action);
    case ActionKind::Web:
      return OpenWebLink(shell, action.url);
    case ActionKind::Explore:
      return Explore(shell, action.path);
    case ActionKind::About:
    case ActionKind::Page:
    case ActionKind::Back:
    case ActionKind::Quit:
    case ActionKind::None:
      break;
  }
  return false;
}

// Open

std::string_view LaunchFailureMessage(const Messages& messages, LaunchResult result,
                                      std::string_view noProgram) {
  if (result == kNoAssociation) return noProgram;
  for (const auto& [code, text] : messages.failures) {
    if (code == result) return text;
  }
  return messages.unknownError;
}

LaunchResult OpenWithShell(ShellServices& shell, std::string_view path) {
  return shell.Execute(shell.DesktopWindow(), "Open", path, "", kStartDirectory, kShowNormal);
}

bool ShowDocument(ShellServices& shell, std::string_view relativePath, std::string_view noProgram) {
  const LaunchResult result = OpenWithShell(shell, CdPath(shell, relativePath));
  if (!Succeeded(result)) {
    shell.Message(LaunchFailureMessage(*shell.Texts().messages, result, noProgram), Buttons::Ok);
  }
  return Succeeded(result);
}

// Install

bool Install(ShellServices& shell, const Action& action) {
  if (!action.showFirst.empty()) {
    const std::string shown = GetShortName(shell, CdPath(shell, action.showFirst));
    // Shown in its viewer while the question is asked, without waiting for
    // it; a document that cannot be opened does not stop the install.
    shell.Execute(shell.DesktopWindow(), "open", shown, "", "", kShowNormal);
  }
  if (!action.question.empty() &&
      shell.Message(action.question, Buttons::YesNo, action.questionTitle) != kAnswerYes) {
    return false;
  }
  // A failed installer start is deliberately silent, and so is a user who
  // declined the administrator prompt: that was their answer.
  return Succeeded(shell.Execute(shell.DesktopWindow(), action.elevate ? "runas" : "Open",
                                 CdPath(shell, action.path), action.arguments, kStartDirectory,
                                 kShowNormal));
}

// Explore

bool Explore(ShellServices& shell, std::string_view folder) {
  const LaunchResult result = shell.Execute(shell.DesktopWindow(), "explore", CdPath(shell, folder),
                                            std::nullopt, std::nullopt, kShowNormal);
  if (!Succeeded(result)) {
    shell.Message(LaunchFailureMessage(*shell.Texts().messages, result, {}), Buttons::Ok);
  }
  return Succeeded(result);
}

// Web

bool OpenWebLink(ShellServices& shell, std::string_view url) {
  std::string buffer(kBrowserBufferLength, ' ');
  const LaunchResult found =
      shell.FindExecutableFor(CdPath(shell, brand::kProbePage), std::nullopt, buffer);
  if (!Succeeded(found)) {
    shell.Message(shell.Texts().messages->noBrowser, Buttons::Ok);
    return false;
  }
  const std::string browser = buffer.substr(0, buffer.find('\0'));
  // Parented to the main window even when the click came from the About box.
  const LaunchResult started =
      shell.Execute(shell.MainWindow(), "open", browser, url, std::nullopt, kShowNormal);
  if (!Succeeded(started)) shell.Message(shell.Texts().messages->pageFailed, Buttons::Ok);
  return Succeeded(started);
}

}  // namespace startboard
