# Start-up and pacing of the intro's window, measured from outside by startup.sh and
# pacing.sh under a private Xvfb: first_frame times a launch to its first grey pixel on
# screen, frames_shown counts the frames a window presents, bare_window is the floor a
# bare SDL program sets, startup_phases times each step of the intro's start-up.
pkg_check_modules(XDAMAGE REQUIRED IMPORTED_TARGET x11 xdamage)
add_executable(first_frame first_frame.cpp)
target_link_libraries(first_frame PRIVATE PkgConfig::XDAMAGE)
add_executable(frames_shown frames_shown.cpp)
target_link_libraries(frames_shown PRIVATE PkgConfig::XDAMAGE PkgConfig::SDL2)
add_executable(bare_window bare_window.cpp)
target_include_directories(bare_window PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(bare_window PRIVATE intro_present intro_draw PkgConfig::SDL2 OpenGL::GL)
add_executable(startup_phases startup_phases.cpp)
target_link_libraries(startup_phases PRIVATE intro_options intro_window intro_frame
                      intro_audio OpenGL::GL PkgConfig::SDL2)
