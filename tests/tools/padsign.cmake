# The signing tool natively: its PAD rewriting in padsign_tests,
# and end to end the three commands on every real PAD fixture, checked
# against the openssl and sha256sum command-line tools.
if(TARGET padsign AND NOT CMAKE_CROSSCOMPILING)
  add_executable(padsign_tests "${CMAKE_CURRENT_LIST_DIR}/padsign_test.cpp")
  target_link_libraries(padsign_tests PRIVATE padsign_core GTest::gtest_main)
  add_test(NAME padsign_tests COMMAND padsign_tests)

  add_test(NAME padsign_cli
    COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/padsign_cli_test.sh" "${CMAKE_CURRENT_BINARY_DIR}/padsign_cli"
      "${CMAKE_SOURCE_DIR}/tests/tollwren/fixtures/pad")
  set_tests_properties(padsign_cli PROPERTIES TIMEOUT 300 ENVIRONMENT "PADSIGN=$<TARGET_FILE:padsign>")
endif()

# padsign.exe under Wine, checked against the native padsign and openssl.
if(TARGET padsign AND CMAKE_CROSSCOMPILING)
  add_test(NAME padsign_win_cli
    COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/padsign_win_cli_test.sh" "${CMAKE_CURRENT_BINARY_DIR}/padsign_win_cli"
      "${CMAKE_SOURCE_DIR}/tests/tollwren/fixtures/pad/floriwan__jogoverein.xml")
  set_tests_properties(padsign_win_cli PROPERTIES TIMEOUT 600 ENVIRONMENT
    "PADSIGN_EXE=$<TARGET_FILE:padsign>;PADSIGN_RUNNER=${CMAKE_SOURCE_DIR}/scripts/wine-run;PADSIGN=${HOST_TOOLS_DIR}/tools/padsign/padsign")
endif()
