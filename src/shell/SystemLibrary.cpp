#include "shell/SystemLibrary.h"

#include <objbase.h>

#include <string>

#include "shell/Handles.h"

namespace startboard {

SystemLibrary::~SystemLibrary() {
  if (module_ != nullptr) FreeLibrary(module_);
}

void* SystemLibrary::Find(const char* symbol) {
  if (!tried_ && source_ == Source::SideBySide) {
    tried_ = true;
    module_ = LoadLibraryW(name_);
  }
  if (!tried_) {
    tried_ = true;
    const UINT length = GetSystemDirectoryW(nullptr, 0);
    std::wstring path(length, L'\0');
    path.resize(GetSystemDirectoryW(path.data(), length));
    if (!path.empty()) {
      path.append(L"\\").append(name_);
      // The DLL's own dependencies are looked for beside it first.
      module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
  }
  if (module_ == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(module_, symbol));
}

ComApartment::~ComApartment() {
  if (!entered_) return;
  if (const auto leave = ole32_.Get<void(WINAPI*)()>("CoUninitialize")) leave();
}

bool ComApartment::Enter() {
  if (tried_) return entered_;
  tried_ = true;
  const auto enter = ole32_.Get<HRESULT(WINAPI*)(void*, DWORD)>("CoInitializeEx");
  entered_ = enter != nullptr &&
             SUCCEEDED(enter(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  return entered_;
}

}  // namespace startboard
