target_sources(intro_draw PRIVATE
  demo/effects/warp.cpp
  demo/effects/box_tunnel.cpp
  demo/effects/spokes.cpp
  demo/effects/floor_zoom.cpp
)
