# The Windows programs, cross-built with mingw-w64 (scripts/build-windows.sh) and run under
# Wine in a prefix of their own. The test packages bring mingw-w64 and Wine; without them
# these tests are left out.
find_program(WINE_EXECUTABLE wine)
find_program(MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(WINE_EXECUTABLE AND MINGW_CXX AND NOT INTRO_SANITIZE)
  add_test(NAME windows_build COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_build.sh
                                      ${PROJECT_SOURCE_DIR})
  set_tests_properties(windows_build PROPERTIES FIXTURES_SETUP windows_build TIMEOUT 1800)

  add_test(NAME windows_tools
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_tools.sh ${PROJECT_SOURCE_DIR}
                   ${CMAKE_BINARY_DIR}/test-data-pack ${GOLDEN_PACK_DIR}
                   $<TARGET_FILE:intro-render> $<TARGET_FILE:web-native-pcm>)
  set_tests_properties(windows_tools PROPERTIES
                       FIXTURES_REQUIRED "windows_build;data_pack;golden_pack" TIMEOUT 600)
endif()
