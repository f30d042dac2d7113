target_sources(intro_draw PRIVATE
  assets/image_slots.cpp
  assets/image_loader.cpp
  assets/picture_file.cpp
  assets/data_pack.cpp
  assets/data_folder.cpp
)
