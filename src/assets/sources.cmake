target_sources(intro_draw PRIVATE
  assets/image_slots.cpp
  assets/image_loader.cpp
  assets/regular_file.cpp
  $<IF:$<PLATFORM_ID:Windows>,assets/regular_file_windows.cpp,assets/regular_file_posix.cpp>
  assets/picture_format.cpp
  assets/png_check.cpp
  assets/jpeg_check.cpp
  assets/data_pack.cpp
  assets/printable.cpp
)
# Naming the data folder on disk is the native edge's: the web module has no folders and
# gets each picture's bytes from the page.
if(NOT INTRO_WEB)
  target_sources(intro_draw PRIVATE assets/data_folder.cpp)
endif()

# The picture decoder, built here from the system's stb_image header with the project's
# flags (so the sanitizer and fuzz builds instrument it); its inflater also serves the
# PNG pre-check, so both read image data alike.
add_library(intro_picture_decoder OBJECT assets/picture_decoder.c)
target_include_directories(intro_picture_decoder PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
# A cross compiler for Windows does not search /usr/include, where the system's stb/ lies;
# a folder holding only that one is searched instead.
if(WIN32)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/stb-include)
  file(CREATE_LINK /usr/include/stb ${CMAKE_BINARY_DIR}/stb-include/stb SYMBOLIC)
  target_include_directories(intro_picture_decoder SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/stb-include)
endif()
target_sources(intro_draw PRIVATE $<TARGET_OBJECTS:intro_picture_decoder>)
# Three things the decoder does that are undefined by the letter, harmless in fact, and
# not ours to change, so those checks are off for the decoder alone: it hands a null
# buffer with a length of 0 to memcpy and adds 0 to it (an empty PNG data chunk before
# any other); and on a JPEG whose entropy-coded data runs out mid-code its bit count goes
# below zero, so it shifts a 32-bit word by 32 (the word only feeds masked table lookups,
# and the picture is garbage or refused either way).
if(INTRO_SANITIZE)
  target_compile_options(intro_picture_decoder PRIVATE
                         -fno-sanitize=pointer-overflow,nonnull-attribute,shift-exponent)
endif()
