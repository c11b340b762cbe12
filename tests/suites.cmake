# One line per test folder.
rovik_add_test(test_platform platform LIBS rovik_platform)
rovik_add_test(test_data data LIBS rovik_data)
rovik_add_test(test_app app LIBS rovik_app)
rovik_add_test(test_quiz quiz LIBS rovik_quiz)
if(ROVIK_GUI)
  rovik_add_test(test_gui gui GUI LIBS rovik_app_gui)
endif()
