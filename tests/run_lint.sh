#!/usr/bin/env bash
# Static analysis of the project's own code: the layers' include order
# (tests/check_layers.py), pyflakes and mypy over the Python, then
# clang-tidy (the checks in .clang-tidy) over the portable core, the Windows
# layer, the bench, sample-disc and test programs, then cppcheck and
# clang-format. Headers are checked through the
# files that include them. Any finding fails. Prints "lint: N passed, N
# failed". The core and the tests are read with the native build's
# compile_commands.json (cmake --preset native).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

passed=0
failed=0
check() { # check NAME COMMAND...
  if "${@:2}"; then
    passed=$((passed + 1))
    echo "PASS $1"
  else
    failed=$((failed + 1))
    echo "FAIL $1"
  fi
}

# One file; its findings print in one piece so parallel runs do not mix.
tidy_one() {
  local out status
  out=$(clang-tidy --quiet "$@" 2>&1)
  status=$?
  out=$(grep -v -E '^[0-9]+ warnings? generated\.$|^Suppressed|^Use -header-filter' <<<"$out")
  [[ -n $out ]] && printf '%s\n' "$out"
  return $status
}
export -f tidy_one

# tidy ARGS FILE...: each file, one process per core, with the clang-tidy
# arguments in the array named ARGS after it (-p DIR, or -- and the compiler's).
tidy() {
  local -n args=$1
  printf '%s\0' "${@:2}" |
    xargs -0 -P "$(nproc)" -I{} bash -c 'tidy_one "$@"' tidy_one {} "${args[@]}"
}

# The Windows files' compiler arguments, as their CMake targets set them. clang
# cannot use g++'s implicit mingw search path, so it is spelled out.
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++ -print-libgcc-file-name)")
win=(-std=c++20 -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX --target=x86_64-w64-mingw32
     -nostdinc++ -isystem "$gcc_dir/include/c++" -isystem "$gcc_dir/include/c++/x86_64-w64-mingw32"
     -isystem /usr/x86_64-w64-mingw32/include)
native=(-p build/native)
# The brand's generated tables are the default brand's, as the native build made them.
product=(-- -Isrc -Ibuild/native/generated -I. -D_WIN32_WINNT=0x0600 "${win[@]}")
bench=(-- -DSTARTBOARD_BENCH -Isrc -Ibuild/native/generated -Itools/bench -D_WIN32_WINNT=0x0601 "${win[@]}")
sample_disc=(-- -Itools/sample_disc "${win[@]}")

check layers /usr/bin/python3 tests/check_layers.py
# The Python: pyflakes over every file, mypy (mypy.ini) over the tools' typed package and its users.
check pyflakes pyflakes3 tools tests
check mypy mypy --no-error-summary tools/brand tools/cd/make_iso.py tools/cd/disc_names.py tools/sample_disc/make_disc.py \
  tools/bench/floor_picture.py
check clang-tidy-core tidy native src/launch/*.cpp src/ui/Resample.cpp src/ui/Targets.cpp
# Every file of the Windows layer: the core's two are read above.
windows_ui=(); for file in src/ui/*.cpp; do
  [[ $file == src/ui/Resample.cpp || $file == src/ui/Targets.cpp ]] || windows_ui+=("$file")
done
check clang-tidy-windows tidy product src/app/WinMain.cpp src/app/Runtime.cpp src/shell/*.cpp "${windows_ui[@]}"
# The probe is built only into the bench programs.
check clang-tidy-bench tidy bench src/bench/Probe.cpp tools/bench/*.cpp
check clang-tidy-sample-disc tidy sample_disc tools/sample_disc/*.cpp tools/wine/*.cpp
check clang-tidy-tests tidy native tests/unit/*.cpp
check clang-tidy-e2e tidy product tests/e2e/*.cpp

cppcheck=(cppcheck --quiet --error-exitcode=1 --enable=warning,style,performance,portability
          --std=c++20 --inline-suppr --suppress=missingIncludeSystem --suppress=unusedFunction
          --suppress=useStlAlgorithm)
check cppcheck-src-and-tools "${cppcheck[@]}" --library=windows -Isrc -Ibuild/native/generated src tools \
  tests/e2e
check cppcheck-tests "${cppcheck[@]}" --library=googletest --library=windows -Isrc -Ibuild/native/generated -Itests/unit \
  tests/unit

check clang-format clang-format --dry-run --Werror src/*/*.cpp src/*/*.h tools/bench/*.cpp \
  tools/sample_disc/*.cpp tools/sample_disc/*.h tools/wine/*.cpp tests/unit/*.cpp tests/unit/*.h tests/e2e/*.cpp

echo "lint: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
