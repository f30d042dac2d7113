intro_test(assets_test assets_loader_test.cpp assets_pack_test.cpp assets_test_files.cpp LIBS PkgConfig::STB)
