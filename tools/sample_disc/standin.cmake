# The installer stand-in copied into the sample disc's reader\ and
# standalone\ folders. Included from tests/e2e/CMakeLists.txt.
add_executable(standin_setup WIN32 ${CMAKE_SOURCE_DIR}/tools/sample_disc/standin_setup.cpp)
target_compile_options(standin_setup PRIVATE ${STARTBOARD_WIN_FLAGS})
target_compile_definitions(standin_setup PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_options(standin_setup PRIVATE ${STARTBOARD_WIN_LINK})
target_link_libraries(standin_setup PRIVATE shell32 user32)
set_target_properties(standin_setup PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools/sample_disc)
