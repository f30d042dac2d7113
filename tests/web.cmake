# The loader's decode-from-memory entry the web module uses, checked natively (and under
# the sanitizers) against the file path.
intro_test(assets_memory_test assets_memory_test.cpp assets_test_files.cpp LIBS PkgConfig::STB)

# The web page: intro.wasm built by clang for wasm32-wasi in build/web/, then its frames
# checked in Node and the page in headless Chromium (web/tests/). Not under the
# sanitizers: the module is the same code the suite already checks there.
if(NOT INTRO_SANITIZE)
  find_program(NODE_EXECUTABLE node REQUIRED)
  set(WEB_DIR ${CMAKE_BINARY_DIR}/web)
  set(WEB_TESTS ${PROJECT_SOURCE_DIR}/web/tests)

  add_executable(web-native-frames ${WEB_TESTS}/native_frames.cpp)
  target_link_libraries(web-native-frames PRIVATE intro_draw)
  add_executable(web-native-pcm ${WEB_TESTS}/native_pcm.cpp)
  target_link_libraries(web-native-pcm PRIVATE intro_mp3)

  add_test(NAME web_build
           COMMAND sh ${PROJECT_SOURCE_DIR}/web/build-site.sh ${WEB_DIR} ${CMAKE_BINARY_DIR}/test-data-pack)
  set_tests_properties(web_build PROPERTIES FIXTURES_SETUP web_site FIXTURES_REQUIRED data_pack
                       TIMEOUT 600)

  add_test(NAME web_node_frames
           COMMAND ${NODE_EXECUTABLE} ${WEB_TESTS}/node_frames.mjs --site ${WEB_DIR}/site
                   --data ${CMAKE_BINARY_DIR}/test-data-pack
                   --golden ${PROJECT_SOURCE_DIR}/tests/golden/frames-default.txt
                   --synthetic-data ${CMAKE_BINARY_DIR}/test-golden-pack
                   --synthetic-golden ${PROJECT_SOURCE_DIR}/tests/golden/frames-synthetic.txt
                   --render $<TARGET_FILE:intro-render> --native $<TARGET_FILE:web-native-frames>
                   --work ${CMAKE_BINARY_DIR}/test-web-node)
  set_tests_properties(web_node_frames PROPERTIES FIXTURES_REQUIRED "web_site;data_pack;golden_pack"
                       TIMEOUT 300)

  # Debian's chromium, driven by playwright-core from web/node_modules (scripts/setup-deps.sh).
  add_test(NAME web_chromium
           COMMAND ${NODE_EXECUTABLE} ${WEB_TESTS}/chromium.mjs --site ${WEB_DIR}/site
                   --golden ${PROJECT_SOURCE_DIR}/tests/golden/frames-default.txt
                   --synthetic-data ${CMAKE_BINARY_DIR}/test-golden-pack
                   --synthetic-golden ${PROJECT_SOURCE_DIR}/tests/golden/frames-synthetic.txt
                   --render $<TARGET_FILE:intro-render> --native $<TARGET_FILE:web-native-frames>
                   --pcm $<TARGET_FILE:web-native-pcm>)
  set_tests_properties(web_chromium PROPERTIES FIXTURES_REQUIRED "web_site;golden_pack" TIMEOUT 300)

  # The offline page (one file, as scripts/release.sh makes it) from the same site, opened
  # as file:// in Chromium.
  set(offline_page ${CMAKE_BINARY_DIR}/test-offline/intro-${INTRO_VERSION}.html)
  add_test(NAME web_offline_build
           COMMAND ${NODE_EXECUTABLE} ${PROJECT_SOURCE_DIR}/web/offline-page.mjs ${WEB_DIR}/site ${offline_page})
  set_tests_properties(web_offline_build PROPERTIES FIXTURES_SETUP offline_page FIXTURES_REQUIRED web_site
                       TIMEOUT 120)
  add_test(NAME web_offline_page
           COMMAND ${NODE_EXECUTABLE} ${WEB_TESTS}/offline_page.mjs --page ${offline_page}
                   --golden ${PROJECT_SOURCE_DIR}/tests/golden/frames-default.txt --version ${INTRO_VERSION})
  set_tests_properties(web_offline_page PROPERTIES FIXTURES_REQUIRED offline_page TIMEOUT 180)
endif()
