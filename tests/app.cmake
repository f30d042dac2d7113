intro_test(options_test options_test.cpp LIBS intro_options)
intro_test(frame_pacer_test frame_pacer_test.cpp LIBS intro_pacer)
