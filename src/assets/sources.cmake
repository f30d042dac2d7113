target_sources(intro_draw PRIVATE
  assets/image_slots.cpp
  assets/image_loader.cpp
  assets/picture_file.cpp
)
# Walking the data folder is the native edge's: the web module has no folders and gets
# each picture's bytes from the page.
if(NOT INTRO_WEB)
  target_sources(intro_draw PRIVATE
    assets/data_pack.cpp
    assets/data_folder.cpp
  )
endif()
