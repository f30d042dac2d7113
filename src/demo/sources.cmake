target_sources(intro_draw PRIVATE
  demo/timeline.cpp
  demo/frame_canvas.cpp
  demo/scenes/elements.cpp
  demo/scenes/opening.cpp
  demo/scenes/floor_zoom.cpp
  demo/scenes/one_man.cpp
  demo/scenes/spokes_jam.cpp
  demo/scenes/flashes.cpp
  demo/scenes/warp_scenes.cpp
  demo/scenes/end_section.cpp
)
# Effects keep their own list.
include(demo/effects/sources.cmake)
