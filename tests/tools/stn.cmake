# The updater settings record of the packer (respack stn / stn-show): its
# layout and source reading in stn_tests, and end to end the two commands
# with the default record in assets/tollwren.
set(stn_test_dir "${CMAKE_CURRENT_LIST_DIR}")

add_executable(stn_tests "${stn_test_dir}/stn_record_test.cpp")
target_link_libraries(stn_tests PRIVATE respack_core GTest::gtest_main)
target_compile_definitions(stn_tests PRIVATE
  TEST_FIXTURE_DIR="${stn_test_dir}/fixtures"
  TEST_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
add_test(NAME stn_tests COMMAND stn_tests)

set(stn_cli_script "${stn_test_dir}/stn_cli_test.sh")
if(CMAKE_CROSSCOMPILING)
  add_test(NAME stn_cli_win_packer
    COMMAND bash "${stn_cli_script}" "${CMAKE_CURRENT_BINARY_DIR}/stn_cli_win" "${CMAKE_SOURCE_DIR}/assets/tollwren")
  set_tests_properties(stn_cli_win_packer PROPERTIES TIMEOUT 600 ENVIRONMENT
    "PACKER=$<TARGET_FILE:respack>;PACKER_RUNNER=${CMAKE_SOURCE_DIR}/scripts/wine-run")
else()
  add_test(NAME stn_cli
    COMMAND bash "${stn_cli_script}" "${CMAKE_CURRENT_BINARY_DIR}/stn_cli" "${CMAKE_SOURCE_DIR}/assets/tollwren")
  set_tests_properties(stn_cli PROPERTIES TIMEOUT 300 ENVIRONMENT "PACKER=$<TARGET_FILE:respack>")
endif()
