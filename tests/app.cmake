intro_test(options_test options_test.cpp LIBS intro_options)
