# The intro's own parts: options and pacing, then its window end to end.
intro_test(options_test options_test.cpp LIBS intro_options)
intro_test(frame_pacer_test frame_pacer_test.cpp LIBS intro_pacer)

# End to end through the window under a private Xvfb with a window manager: placement,
# size, decorations, class and cursor of the intro's window, the picture it shows pixel
# by pixel, its keys and ways of closing it (killing its X client among them), a resize
# by the window manager, its start-up refusals, and start-up under a window manager slow
# to map the window (slow_wm), and a held picture that is not presented again until an
# expose or a resize asks for it.
# present_pattern shows a known canvas through the intro's own window and presenter;
# screen_check compares a screenshot with the canvas that must show; cursor_shown tells
# whether the cursor image at the pointer is blank.
add_executable(present_pattern present_pattern.cpp)
target_include_directories(present_pattern PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(present_pattern PRIVATE intro_window intro_present intro_draw)

pkg_check_modules(XFIXES REQUIRED IMPORTED_TARGET x11 xfixes)
add_executable(cursor_shown cursor_shown.cpp)
target_link_libraries(cursor_shown PRIVATE PkgConfig::XFIXES)

add_executable(slow_wm slow_wm.cpp)
target_link_libraries(slow_wm PRIVATE PkgConfig::XFIXES)  # x11 among them

add_executable(screen_check screen_check.cpp)
target_include_directories(screen_check PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(screen_check PRIVATE intro_draw)

# window_checks.sh CASE: each case on its own screen; the pattern case needs room for a
# window of the whole 1920 x 1080 screen. Escape must end the intro within a second; with
# the sanitizers its leak check at exit takes longer.
set(escape_limit_ms 1000)
if(INTRO_SANITIZE)
  set(escape_limit_ms 5000)
endif()
foreach(case layout captioned keys killed resized refusals pattern slow_map held)
  set(screen 800x600)
  if(case STREQUAL "pattern")
    set(screen 1920x1080)
  endif()
  add_test(NAME window_${case}
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/with-xvfb.sh ${screen}
                   ${CMAKE_CURRENT_SOURCE_DIR}/e2e/window_checks.sh ${case}
                   $<TARGET_FILE:intro> $<TARGET_FILE:present_pattern>
                   $<TARGET_FILE:screen_check> $<TARGET_FILE:cursor_shown>
                   $<TARGET_FILE:slow_wm> $<TARGET_FILE:soak_swap_counter>)
  set_tests_properties(window_${case} PROPERTIES TIMEOUT 120
                       ENVIRONMENT "ESCAPE_LIMIT_MS=${escape_limit_ms}")
endforeach()

# SIGTERM and SIGINT while playing and while start-up is held opening a picture or the
# music by stall_open, a preloaded slow disk. The library stays uninstrumented in the
# sanitizer build: it runs inside the intro ahead of the sanitizer runtime.
add_library(stall_open MODULE stall_open.cpp)
target_compile_options(stall_open PRIVATE -U_FORTIFY_SOURCE -fno-sanitize=all)
target_link_options(stall_open PRIVATE -fno-sanitize=all)
target_link_libraries(stall_open PRIVATE ${CMAKE_DL_LIBS})
add_test(NAME startup_signals
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/with-xvfb.sh 800x600
                 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/startup_signals.sh
                 $<TARGET_FILE:intro> $<TARGET_FILE:stall_open>)
set_tests_properties(startup_signals PROPERTIES TIMEOUT 120
                     ENVIRONMENT "QUIT_LIMIT_MS=${escape_limit_ms}")

# The Linux release bundle made from this build's programs (scripts/release.sh --build),
# unpacked and started as a user would: its libraries, its launcher from another folder
# under Xvfb against intro-render's frame, its version. Not under the sanitizers, whose
# runtime is no library a release may need. The first run on a machine builds SDL2 from
# Debian's source into ~/.cache/intro-linux-deps (minutes); later runs, clean clones
# included, reuse it.
if(NOT INTRO_SANITIZE)
  set(release_dir ${CMAKE_BINARY_DIR}/test-release)
  add_test(NAME release_linux
           COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/release.sh --build ${CMAKE_BINARY_DIR}
                   --out ${release_dir} --only linux)
  set_tests_properties(release_linux PROPERTIES FIXTURES_SETUP release_archive TIMEOUT 1800)
  add_test(NAME release_bundle
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/with-xvfb.sh 800x600
                   ${CMAKE_CURRENT_SOURCE_DIR}/e2e/release_bundle.sh
                   ${release_dir}/intro-${INTRO_VERSION}-linux-x86_64.tar.gz $<TARGET_FILE:screen_check>)
  set_tests_properties(release_bundle PROPERTIES FIXTURES_REQUIRED release_archive TIMEOUT 120)
endif()
