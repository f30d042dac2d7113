# The golden record: a digest of every frame of the show for two picture packs, the default
# data pack and a synthetic pack of odd sizes and alpha around the threshold. Any change
# that moves a pixel shows up as a change of tests/golden/frames-*.txt
# (regenerated deliberately by tools/update-golden.sh).
intro_test(sha256_test golden/sha256_test.cpp golden/sha256.cpp)

add_executable(golden-frames golden/golden_frames.cpp golden/sha256.cpp)
target_include_directories(golden-frames PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(golden-frames PRIVATE intro_draw)

add_executable(golden-pack golden/golden_pack.cpp)
target_include_directories(golden-pack PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(golden-pack PRIVATE intro_draw tool_png)

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
