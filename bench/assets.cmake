add_executable(bench-assets assets_bench.cpp)
target_link_libraries(bench-assets PRIVATE intro_draw PkgConfig::STB benchmark::benchmark benchmark::benchmark_main)
