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
