// System DLLs that the launcher needs only once the user does something.
// They are loaded on first use, by full path from the system directory:
// start-up maps nothing the first paint does not need, and a DLL planted in
// the disc's folder is never picked up.
#pragma once

#include <windows.h>

namespace startboard {

class SystemLibrary {
 public:
  enum class Source {
    SystemDirectory,  // by full path
    // By name, for the common controls: the manifest's activation context
    // picks version 6, which lives outside the system directory.
    SideBySide,
  };

  explicit SystemLibrary(const wchar_t* name, Source source = Source::SystemDirectory)
      : name_(name), source_(source) {}
  ~SystemLibrary();
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  // The named export, loading the DLL on first use; nullptr if either is
  // not available.
  template <class Function>
  Function Get(const char* symbol) {
    return reinterpret_cast<Function>(Find(symbol));
  }

 private:
  void* Find(const char* symbol);

  const wchar_t* name_;
  Source source_;
  HMODULE module_ = nullptr;
  bool tried_ = false;
};

}  // namespace startboard
