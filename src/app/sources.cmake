# Option parsing is plain code, kept apart so tests can link it without SDL.
add_library(intro_options STATIC app/options.cpp)
target_include_directories(intro_options PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

add_library(intro_frame STATIC app/render_frame.cpp)
target_link_libraries(intro_frame PUBLIC intro_draw intro_present)

# The window and its event pump, shared with the test program that presents a known
# canvas through them. Xlib directly only to survive the window being destroyed, or this
# client being killed, by another client.
pkg_check_modules(XLIB REQUIRED IMPORTED_TARGET x11)
add_library(intro_window STATIC app/window.cpp app/quit_signals.cpp)
target_include_directories(intro_window PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(intro_window PUBLIC intro_options PkgConfig::SDL2 PRIVATE PkgConfig::XLIB)

# The frame loop's pacing is plain code over times the caller supplies.
add_library(intro_pacer STATIC app/frame_pacer.cpp app/frame_sleep_posix.cpp)
target_include_directories(intro_pacer PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

add_executable(intro app/main.cpp app/run_demo.cpp)
target_link_libraries(intro PRIVATE intro_version intro_options intro_window intro_pacer intro_frame intro_audio
                      PkgConfig::SDL2)
