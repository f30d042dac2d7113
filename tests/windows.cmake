# The drawing library for Windows against the golden record, under Wine (the test packages
# bring mingw-w64 and Wine; without them the test is left out).
find_program(WINE_EXECUTABLE wine)
find_program(MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(WINE_EXECUTABLE AND MINGW_CXX AND NOT INTRO_SANITIZE)
  add_test(NAME windows_golden
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_golden.sh ${PROJECT_SOURCE_DIR}
                   ${CMAKE_BINARY_DIR}/test-data-pack ${GOLDEN_PACK_DIR})
  set_tests_properties(windows_golden PROPERTIES FIXTURES_REQUIRED "data_pack;golden_pack"
                       TIMEOUT 900)
endif()
