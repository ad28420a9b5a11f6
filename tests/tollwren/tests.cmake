# The updater's tests that talk to a web server (WinINet, so only in the
# Windows tree) run once more with the test web server started around them.
# In the plain tollwren_tests run they skip themselves.
if(WIN32 AND TARGET tollwren_tests)
  add_test(NAME tollwren_server_tests
    COMMAND sh "${CMAKE_CURRENT_LIST_DIR}/run_with_server.sh"
      ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:tollwren_tests> --gtest_filter=*WithServer*)
  set_tests_properties(tollwren_server_tests PROPERTIES TIMEOUT 900)
endif()
