# The drawing library: canvas, font and lines, pictures, effects, scenes and timeline,
# then the golden record of every frame (natively, and for Windows under Wine).
intro_test(canvas_test canvas_test.cpp)
intro_test(gfx_test gfx_text_test.cpp gfx_lines_test.cpp gfx_lines_differential_test.cpp)
if(INTRO_SANITIZE)
  target_compile_definitions(gfx_test PRIVATE INTRO_SANITIZED_BUILD)
endif()
# The sine and cosine are checked against quad precision, where the compiler offers it.
include(CheckIncludeFileCXX)
check_include_file_cxx(quadmath.h INTRO_HAVE_QUADMATH)
if(INTRO_HAVE_QUADMATH)
  intro_test(gfx_trig_test gfx_trig_test.cpp LIBS quadmath)
endif()
intro_test(assets_test assets_loader_test.cpp assets_pack_test.cpp assets_test_files.cpp LIBS PkgConfig::STB)
intro_test(effects_test effects_warp_test.cpp effects_tunnel_test.cpp effects_spokes_test.cpp effects_floor_test.cpp)
intro_test(scenes_test scenes_bounds_test.cpp scenes_moments_test.cpp scenes_safety_test.cpp)
intro_test(timeline_test timeline_test.cpp)

# The golden record: a digest of every frame of the show for two picture packs, the default
# data pack and a synthetic pack of odd sizes and alpha around the threshold. Any change
# that moves a pixel shows up as a change of tests/golden/frames-*.txt
# (regenerated deliberately by tools/update-golden.sh).
intro_test(sha256_test sha256_test.cpp LIBS tool_common)

add_executable(golden-frames golden/golden_frames.cpp)
target_include_directories(golden-frames PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(golden-frames PRIVATE intro_draw tool_common)

add_executable(golden-pack golden/golden_pack.cpp)
target_include_directories(golden-pack PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(golden-pack PRIVATE intro_draw tool_common)

set(GOLDEN_PACK_DIR ${CMAKE_BINARY_DIR}/test-golden-pack)
add_test(NAME golden_pack_make COMMAND golden-pack ${GOLDEN_PACK_DIR})
set_tests_properties(golden_pack_make PROPERTIES FIXTURES_SETUP golden_pack)

add_test(NAME golden_default
         COMMAND golden-frames check ${CMAKE_CURRENT_SOURCE_DIR}/golden/frames-default.txt
                 ${CMAKE_BINARY_DIR}/test-data-pack --last-good ${CMAKE_BINARY_DIR}/golden-default.raw)
set_tests_properties(golden_default PROPERTIES FIXTURES_REQUIRED data_pack TIMEOUT 600)
add_test(NAME golden_synthetic
         COMMAND golden-frames check ${CMAKE_CURRENT_SOURCE_DIR}/golden/frames-synthetic.txt
                 ${GOLDEN_PACK_DIR} --last-good ${CMAKE_BINARY_DIR}/golden-synthetic.raw)
set_tests_properties(golden_synthetic PROPERTIES FIXTURES_REQUIRED golden_pack TIMEOUT 600)
