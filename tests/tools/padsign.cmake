# The signing tool (native tree only): its PAD rewriting in padsign_tests,
# and end to end the three commands on every real PAD fixture, checked
# against the openssl and sha256sum command-line tools.
if(TARGET padsign)
  add_executable(padsign_tests "${CMAKE_CURRENT_LIST_DIR}/padsign_test.cpp")
  target_link_libraries(padsign_tests PRIVATE padsign_core GTest::gtest_main)
  add_test(NAME padsign_tests COMMAND padsign_tests)

  add_test(NAME padsign_cli
    COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/padsign_cli_test.sh" "${CMAKE_CURRENT_BINARY_DIR}/padsign_cli"
      "${CMAKE_SOURCE_DIR}/tests/tollwren/fixtures/pad")
  set_tests_properties(padsign_cli PROPERTIES TIMEOUT 300 ENVIRONMENT "PADSIGN=$<TARGET_FILE:padsign>")
endif()
