# The default data folder: generated once into the build folder, then checked.
set(DATA_PACK_DIR ${CMAKE_BINARY_DIR}/test-data-pack)

add_test(NAME data_pack_make COMMAND make-data ${DATA_PACK_DIR})
set_tests_properties(data_pack_make PROPERTIES FIXTURES_SETUP data_pack)

add_executable(data_pack_test data_pictures_test.cpp data_music_test.cpp)
target_include_directories(data_pack_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(data_pack_test PRIVATE DATA_PACK_DIR="${DATA_PACK_DIR}")
target_link_libraries(data_pack_test PRIVATE PkgConfig::STB PkgConfig::MPG123 GTest::gtest GTest::gtest_main)
gtest_discover_tests(data_pack_test DISCOVERY_TIMEOUT 60 PROPERTIES FIXTURES_REQUIRED data_pack)

# The record of what make-data wrote: digests and the text of .version.
intro_test(data_record_test data_record_test.cpp LIBS make_data_record)

add_test(NAME data_pack_cli
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/data_pack_cli.sh $<TARGET_FILE:make-data>
                 ${DATA_PACK_DIR} ${CMAKE_BINARY_DIR}/test-data-cli)
set_tests_properties(data_pack_cli PROPERTIES FIXTURES_REQUIRED data_pack)

find_program(ZBARIMG zbarimg)
if(ZBARIMG)
  add_test(NAME data_pack_qr_reads
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/data_pack_qr.sh ${ZBARIMG} ${DATA_PACK_DIR}/lowrezqr.png)
  set_tests_properties(data_pack_qr_reads PROPERTIES FIXTURES_REQUIRED data_pack)
endif()

# Every program the README runs is one that run.sh builds.
add_test(NAME readme_programs COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/readme_programs.sh ${CMAKE_SOURCE_DIR})

# intro-render: its parts, the program end to end, and its captures through ffmpeg.
intro_test(render_test render_frame_test.cpp render_moments_test.cpp render_options_test.cpp
           render_image_test.cpp render_printable_test.cpp render_beat_test.cpp
           drum_hits.cpp LIBS intro_render_core)

intro_test(render_cli_test render_cli_test.cpp LIBS PkgConfig::STB)
target_compile_definitions(render_cli_test PRIVATE
  INTRO_RENDER="$<TARGET_FILE:intro-render>"
  RENDER_WORK_DIR="${CMAKE_BINARY_DIR}/test-render-cli")
add_dependencies(render_cli_test intro-render)

# --check and --fit-music on made data folders: the default pack, its track shifted, drum
# hits at other tempos, silence, noise and pictures with each problem.
intro_test(render_check_test render_check_test.cpp drum_hits.cpp
           LIBS intro_mp3 audio_test_mp3 PkgConfig::STB)
target_compile_definitions(render_check_test PRIVATE
  INTRO_RENDER="$<TARGET_FILE:intro-render>"
  MAKE_DATA="$<TARGET_FILE:make-data>"
  CHECK_WORK_DIR="${CMAKE_BINARY_DIR}/test-render-check")
add_dependencies(render_check_test intro-render make-data)

# Video, sound and interruption through the real ffmpeg, on the default data pack.
add_test(NAME render_capture
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/render_capture.sh $<TARGET_FILE:intro-render>
                 ${CMAKE_BINARY_DIR}/test-data-pack ${CMAKE_BINARY_DIR}/test-render-capture)
set_tests_properties(render_capture PROPERTIES FIXTURES_REQUIRED data_pack TIMEOUT 300)

# Outputs through links and onto read-only files, signals around a stuck encoder or a
# waiting FIFO, and the PATH search for the encoder.
add_test(NAME render_edges
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/render_edges.sh $<TARGET_FILE:intro-render>
                 ${CMAKE_BINARY_DIR}/test-data-pack ${CMAKE_BINARY_DIR}/test-render-edges)
set_tests_properties(render_edges PROPERTIES FIXTURES_REQUIRED data_pack TIMEOUT 120)
