// The launcher is built without exceptions. These replace the C++ runtime's
// allocation and error entry points, which would otherwise pull the whole
// exception machinery (unwinder, demangler, printf) into the executable. The
// only failure they can see is running out of memory, which the launcher
// cannot recover from: it ends, as the runtime itself would.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  void* block = std::malloc(size != 0 ? size : 1);
  if (block == nullptr) std::abort();
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t /*size*/) noexcept { std::free(block); }
// std::stable_sort asks for its buffer with the nothrow form, whose runtime
// version catches bad_alloc and so brings the exception machinery back.
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
  return std::malloc(size != 0 ? size : 1);
}
void operator delete(void* block, const std::nothrow_t& /*tag*/) noexcept { std::free(block); }

// The runtime's own hooks, replaced on purpose.
// NOLINTBEGIN(cert-dcl58-cpp,cert-dcl50-cpp,cert-dcl51-cpp,cert-dcl37-c,bugprone-reserved-identifier)
namespace std {
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_length_error(const char* /*what*/) { std::abort(); }
[[noreturn]] void __throw_logic_error(const char* /*what*/) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char* /*what*/, ...) { std::abort(); }
}  // namespace std
// NOLINTEND(cert-dcl58-cpp,cert-dcl50-cpp,cert-dcl51-cpp,cert-dcl37-c,bugprone-reserved-identifier)
