#include "launch/Launch.h"

#include <array>
#include <utility>

#include "app/Identity.h"

namespace startboard {

namespace {

// Code 31, no program for the file's type, has the document's own text.
constexpr LaunchResult kNoAssociation = 31;
constexpr std::array<std::pair<LaunchResult, std::string_view>, 11> kFailureMessages{{
    {2, "File not found"},
    {3, "Path not found"},
    {5, "Access denied"},
    {8, "Out of memory"},
    {11, "Invalid EXE file or error in EXE image"},
    {26, "A sharing violation occurred"},
    {27, "Incomplete or invalid file association"},
    {28, "DDE Time out"},
    {29, "DDE transaction failed"},
    {30, "DDE busy"},
    {32, "DLL not found"},
}};

constexpr std::string_view kUnknownError = "Unknown error";
constexpr std::string_view kStartDirectory = "C:\\";
constexpr std::uint32_t kShortNameBuffer = 255;

}  // namespace

std::string_view LaunchFailureMessage(LaunchResult result, std::string_view noProgram) {
  if (result == kNoAssociation) return noProgram;
  for (const auto& [code, text] : kFailureMessages) {
    if (code == result) return text;
  }
  return kUnknownError;
}

LaunchResult OpenWithShell(ShellServices& shell, std::string_view path) {
  return shell.Execute(shell.DesktopWindow(), "Open", path, "", kStartDirectory, kShowNormal);
}

void ShowDocument(ShellServices& shell, std::string_view relativePath, std::string_view noProgram) {
  const LaunchResult result = OpenWithShell(shell, CdPath(shell, relativePath));
  if (Succeeded(result)) return;
  shell.Message(LaunchFailureMessage(result, noProgram), Buttons::Ok);
}

std::string GetShortName(ShellServices& shell, std::string_view path) {
  std::string shortPath;
  std::uint32_t length = shell.ShortPathName(path, shortPath, kShortNameBuffer);
  // Too small a buffer reports the size it needs: ask once more with that,
  // rather than hand a buffer of blanks to the shell.
  if (length >= kShortNameBuffer) {
    const std::uint32_t needed = length;
    length = shell.ShortPathName(path, shortPath, needed);
    if (length >= needed) return {};
  }
  if (length == 0) return {};
  return shortPath;
}

}  // namespace startboard
