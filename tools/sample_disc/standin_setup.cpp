// Stands in for an installer on the sample disc. The same program is copied
// to reader\setup.exe and standalone\setup.exe; the folder it runs from says
// which installer it replaces.
#include <windows.h>

#include <string>

#include "RecordLog.h"

namespace {

struct Installer {
  const wchar_t* folder;
  const wchar_t* message;
};

constexpr Installer kInstallers[] = {
    {L"reader", L"Adobe Acrobat Reader 3.01 setup would run here."},
    {L"standalone", L"Norvane 98 setup would run here."},
};

// The name of the folder holding this executable, lower case.
std::wstring OwnFolderName() {
  wchar_t path[MAX_PATH * 4];
  std::wstring folder(path, GetModuleFileNameW(nullptr, path, MAX_PATH * 4));
  folder.resize(folder.rfind(L'\\') == std::wstring::npos ? 0 : folder.rfind(L'\\'));
  folder.erase(0, folder.rfind(L'\\') + 1);  // npos + 1 keeps the whole name
  CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
  return folder;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  record_log::AppendStartRecord();
  const std::wstring folder = OwnFolderName();
  const wchar_t* message = L"An installer would run here.";
  for (const Installer& installer : kInstallers) {
    if (folder == installer.folder) message = installer.message;
  }
  MessageBoxW(nullptr, message, L"Sample disc", MB_OK | MB_ICONINFORMATION);
  return 0;
}
