// A screen reader that keeps a window's accessible object after the window
// is gone: it asks the launcher's own input code (Input, Accessible.cpp)
// for the object, destroys the window and asks again, then frees the
// window's object and asks once more. Each question must be answered with
// an error, not a crash. One line per answer; the exit code has a bit set
// for each question answered with success (bits 0-7 after the window's end,
// 8-15 after the object's), 0x10000 and up when the probe could not start,
// and 0 when every answer was an error.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <memory>

#include "ui/Input.h"
#include "ui/Win32Window.h"

namespace startboard {
namespace {

class ProbeWindow final : public Win32Window<ProbeWindow>, private InputOwner {
 public:
  static constexpr const wchar_t* kClassName = L"AccessibleProbe";
  ProbeWindow() : input_(*this, *this, Input::Keys::All, kPushButtons) {}

  bool Create(HINSTANCE instance) {
    RegisterClassOf(instance, {});
    if (CreateWindowExW(0, kClassName, L"Accessible probe", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                        nullptr, nullptr, instance, this) == nullptr) {
      return false;
    }
    const Action quit{.kind = ActionKind::Quit};
    input_.SetTargets({.frontToBack = {{{0, 0, 1440, 720}, "First", "", quit},
                                       {{1440, 0, 1440, 720}, "Second", "", quit}},
                       .listed = {0, 1},
                       .keyRing = {0, 1}});
    return true;
  }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = input_.Handle(message, wParam, lParam)) return *answer;
    return Default(message, wParam, lParam);
  }

 private:
  void RunClick(const Action& /*action*/, Origin /*origin*/) override {}
  void Restyle(std::size_t /*index*/, TargetState /*before*/, TargetState /*now*/) override {}
  void OnEscape() override {}

  Input input_;
};

// Asks every question once; returns a bit per question answered with success.
int AskAll(IAccessible& object, const char* when) {
  VARIANT first{};
  first.vt = VT_I4;
  first.lVal = 1;
  long count = 0;
  BSTR name = nullptr;
  VARIANT state{};
  VARIANT focus{};
  long left = 0;
  long top = 0;
  long width = 0;
  long height = 0;
  VARIANT hit{};
  VARIANT next{};
  const HRESULT answers[] = {
      object.get_accChildCount(&count),
      object.get_accName(first, &name),
      object.get_accState(first, &state),
      object.get_accFocus(&focus),
      object.accLocation(&left, &top, &width, &height, first),
      object.accHitTest(10, 10, &hit),
      object.accDoDefaultAction(first),
      object.accNavigate(NAVDIR_NEXT, first, &next),
  };
  const char* const questions[] = {"get_accChildCount",  "get_accName", "get_accState",
                                   "get_accFocus",       "accLocation", "accHitTest",
                                   "accDoDefaultAction", "accNavigate"};
  if (name != nullptr) SysFreeString(name);
  int succeeded = 0;
  for (int i = 0; i < 8; ++i) {
    std::printf("%s %s 0x%08lx\n", when, questions[i], static_cast<unsigned long>(answers[i]));
    if (SUCCEEDED(answers[i])) succeeded |= 1 << i;
  }
  return succeeded;
}

int Probe() {
  auto window = std::make_unique<ProbeWindow>();
  if (!window->Create(GetModuleHandleW(nullptr))) return 0x10000;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window->Hwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                        IID_IAccessible, reinterpret_cast<void**>(&object)))) {
    return 0x20000;
  }
  // The window's own object, not the system's: it lists the two targets.
  long count = 0;
  const bool ours = object->get_accChildCount(&count) == S_OK && count == 2;
  std::printf("alive get_accChildCount %ld\n", count);
  DestroyWindow(window->Hwnd());
  int succeeded = AskAll(*object, "destroyed");
  window.reset();
  succeeded |= AskAll(*object, "freed") << 8;
  object->Release();
  return ours ? succeeded : 0x40000;
}

}  // namespace
}  // namespace startboard

int wmain() {
  // A crash ends the probe with its exception code, rather than in a debugger.
  SetErrorMode(SEM_NOGPFAULTERRORBOX);
  if (FAILED(CoInitialize(nullptr))) return 0x80000;
  const int code = startboard::Probe();
  CoUninitialize();
  (void)std::fflush(stdout);
  return code;
}
