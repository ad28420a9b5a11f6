# Tests of the packer: its portable core (respack_tests), and end to end the
# command-line program together with a test program that reads the archive
# appended to its own executable (under Wine in the Windows tree).
include("${CMAKE_SOURCE_DIR}/cmake/Archive.cmake")
set(respack_test_dir "${CMAKE_CURRENT_LIST_DIR}")

add_executable(respack_tests "${respack_test_dir}/respack_test.cpp")
target_link_libraries(respack_tests PRIVATE respack_core GTest::gtest_main)
target_compile_definitions(respack_tests PRIVATE
  TEST_FIXTURE_DIR="${respack_test_dir}/fixtures"
  TEST_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
add_test(NAME respack_tests COMMAND respack_tests)

add_executable(archive_self_reader "${respack_test_dir}/archive_self_reader.cpp")
target_link_libraries(archive_self_reader PRIVATE respack_core)
brand_executable(archive_self_reader "${respack_test_dir}/fixtures/respack/self_reader.ini")

set(respack_cli_script "${respack_test_dir}/respack_cli_test.sh")
set(respack_fixtures "${respack_test_dir}/fixtures/respack")
if(CMAKE_CROSSCOMPILING)
  set(wine_run "${CMAKE_SOURCE_DIR}/scripts/wine-run")
  # The host packer brands, the Windows reader reads.
  add_test(NAME respack_cli_host_packer
    COMMAND bash "${respack_cli_script}" "${CMAKE_CURRENT_BINARY_DIR}/respack_cli_host" "${respack_fixtures}")
  set_tests_properties(respack_cli_host_packer PROPERTIES TIMEOUT 600 ENVIRONMENT
    "PACKER=${HOST_TOOLS_DIR}/tools/respack/respack;READER=$<TARGET_FILE:archive_self_reader>;READER_RUNNER=${wine_run}")
  # respack.exe itself, under Wine.
  add_test(NAME respack_cli_win_packer
    COMMAND bash "${respack_cli_script}" "${CMAKE_CURRENT_BINARY_DIR}/respack_cli_win" "${respack_fixtures}")
  set_tests_properties(respack_cli_win_packer PROPERTIES TIMEOUT 900 ENVIRONMENT
    "PACKER=$<TARGET_FILE:respack>;PACKER_RUNNER=${wine_run};READER=$<TARGET_FILE:archive_self_reader>;READER_RUNNER=${wine_run}")
else()
  add_test(NAME respack_cli
    COMMAND bash "${respack_cli_script}" "${CMAKE_CURRENT_BINARY_DIR}/respack_cli" "${respack_fixtures}")
  set_tests_properties(respack_cli PROPERTIES TIMEOUT 300 ENVIRONMENT
    "PACKER=$<TARGET_FILE:respack>;READER=$<TARGET_FILE:archive_self_reader>")
endif()
