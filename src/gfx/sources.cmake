target_sources(intro_draw PRIVATE
  gfx/argb_gfx.cpp
  gfx/blit.cpp
  gfx/font_5x5.cpp
  gfx/text.cpp
  gfx/lines.cpp
  gfx/portable_trig.cpp
)
