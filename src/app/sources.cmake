# Option parsing is plain code, kept apart so tests can link it without SDL.
add_library(intro_options STATIC app/options.cpp)
target_include_directories(intro_options PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

add_library(intro_frame STATIC app/render_frame.cpp)
target_link_libraries(intro_frame PUBLIC intro_draw intro_present)

add_executable(intro app/main.cpp app/run_demo.cpp app/window.cpp)
target_link_libraries(intro PRIVATE intro_options intro_frame intro_audio PkgConfig::SDL2)
