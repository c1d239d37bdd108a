# The Windows executables: the product and the test programs that run beside
# it under Wine. Everything is linked statically so the exe runs from a disc
# on a bare system, and built without time stamps so the bytes repeat.
enable_language(RC)

set(STARTBOARD_WIN_FLAGS -municode -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-unwind-tables -ffunction-sections -fdata-sections)
set(STARTBOARD_WIN_LINK -municode -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp
    -Wl,--dynamicbase -Wl,--nxcompat)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND STARTBOARD_WIN_LINK -Wl,--high-entropy-va)
endif()
target_compile_options(startboard_core PRIVATE ${STARTBOARD_WIN_FLAGS})

# The bench build adds time stamps at first paint, click and shell call.
option(STARTBOARD_BENCH "Build with benchmark time stamps (never for the product)" OFF)
set(STARTBOARD_BENCH_SOURCES)
if(STARTBOARD_BENCH)
  add_compile_definitions(STARTBOARD_BENCH)
  set(STARTBOARD_BENCH_SOURCES ${CMAKE_SOURCE_DIR}/src/bench/Probe.cpp)
endif()
target_compile_definitions(startboard_core PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                           _WIN32_WINNT=0x0600)
# Deterministic resources: windres would otherwise run the preprocessor with
# absolute include paths only; that is fine, they do not end up in the binary.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

# The real ShellServices, shared by the product and the end-to-end test programs.
add_library(startboard_winshell STATIC src/shell/Win32Shell.cpp src/shell/Unicode.cpp
            src/shell/SystemLibrary.cpp
            ${STARTBOARD_BENCH_SOURCES})
target_compile_options(startboard_winshell PRIVATE ${STARTBOARD_WIN_FLAGS})
target_link_libraries(startboard_winshell PUBLIC startboard_core user32)

# The input of a window (pointer, keys, screen readers), which the end-to-end
# tests' accessible probe links too.
set(STARTBOARD_INPUT_SOURCES src/ui/Gdi.cpp src/ui/Screen.cpp src/ui/Tooltips.cpp src/ui/Input.cpp
    src/ui/Accessible.cpp)
list(TRANSFORM STARTBOARD_INPUT_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)

add_executable(Startboard WIN32
  src/app/WinMain.cpp
  src/app/Runtime.cpp
  ${STARTBOARD_INPUT_SOURCES}
  src/ui/Pictures.cpp
  src/ui/LitZones.cpp
  src/ui/frmMain.cpp
  src/ui/frmAbout.cpp
  src/app/Startboard.rc
)
target_compile_options(Startboard PRIVATE ${STARTBOARD_WIN_FLAGS})
target_link_options(Startboard PRIVATE ${STARTBOARD_WIN_LINK})
target_link_libraries(Startboard PRIVATE startboard_winshell uuid gdi32)
target_include_directories(Startboard PRIVATE src ${CMAKE_SOURCE_DIR} ${STARTBOARD_GENERATED})
set_target_properties(Startboard PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# It runs from a disc that may be ejected: the loader is told to copy it to
# the swap file at start (GNU ld cannot set the flags), with its checksum.
add_custom_command(TARGET Startboard POST_BUILD
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/pe/run_from_swap.py $<TARGET_FILE:Startboard>
  VERBATIM)
# windres does not report the files it embeds: the brand's resources name them
# all, and are written afresh whenever one of them changes.
set_source_files_properties(src/app/Startboard.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/src/app/Startboard.manifest;${STARTBOARD_GENERATED}/brand/Data.rc")

add_subdirectory(tools/wine)

if(STARTBOARD_BENCH AND EXISTS ${CMAKE_SOURCE_DIR}/tools/bench/CMakeLists.txt)
  add_subdirectory(tools/bench)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
