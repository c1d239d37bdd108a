#!/usr/bin/env bash
# Static analysis of the project's own code: clang-tidy (the checks in
# .clang-tidy) over the portable core and the Windows layer, and cppcheck.
# Any finding fails. Prints "lint: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

passed=0
failed=0
check() {
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "PASS $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
  fi
}

core=(src/app/Identity.cpp src/launch/*.cpp src/weblinks/*.cpp src/ui/MainLayout.cpp
      src/ui/AboutLayout.cpp)
windows=(src/app/WinMain.cpp src/app/Runtime.cpp src/app/BenchProbe.cpp src/shell/*.cpp src/ui/Win32Window.cpp src/ui/frm*.cpp)

# clang cannot use g++'s implicit mingw search path, so it is spelled out.
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++ -print-libgcc-file-name)")
mingw_args=(--target=x86_64-w64-mingw32 -nostdinc++ -isystem "$gcc_dir/include/c++"
            -isystem "$gcc_dir/include/c++/x86_64-w64-mingw32"
            -isystem /usr/x86_64-w64-mingw32/include)

tidy_quiet() { clang-tidy --quiet "$@" 2>&1 | grep -v -E '^[0-9]+ warnings generated\.$|^Suppressed|^Use -header-filter'; test "${PIPESTATUS[0]}" -eq 0; }

check clang-tidy-core tidy_quiet -p build/native "${core[@]}"
windows_tidy() {
  local file status=0
  for file in "${windows[@]}"; do
    local extra=()
    # The probe only exists in the bench build.
    [[ $file == */BenchProbe.cpp ]] && extra=(-DSTARTBOARD_BENCH)
    tidy_quiet "$file" -- "${extra[@]}" -std=c++20 -Isrc -I. -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN \
      -DNOMINMAX -D_WIN32_WINNT=0x0600 "${mingw_args[@]}" || status=1
  done
  return $status
}
check clang-tidy-windows windows_tidy

check cppcheck cppcheck --quiet --error-exitcode=1 --enable=warning,style,performance,portability \
  --std=c++20 --inline-suppr --suppress=missingIncludeSystem --suppress=unusedFunction \
  --suppress=useStlAlgorithm -Isrc src

check clang-format clang-format --dry-run --Werror src/*/*.cpp src/*/*.h tests/unit/*.cpp \
  tests/unit/*.h

echo "lint: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
