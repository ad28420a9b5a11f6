# End-to-end tests of iniedit on real files in a work folder; in the Windows
# tree iniedit.exe runs under Wine through the cross-compiling emulator.
set(iniedit_test_script "${CMAKE_CURRENT_LIST_DIR}/iniedit_cli_test.sh")
if(TARGET iniedit)
  if(CMAKE_CROSSCOMPILING)
    set(iniedit_runner "${CMAKE_CROSSCOMPILING_EMULATOR}")
    set(iniedit_timeout 600)
  else()
    set(iniedit_runner "")
    set(iniedit_timeout 120)
  endif()
  add_test(NAME iniedit_cli
    COMMAND bash "${iniedit_test_script}" "${CMAKE_CURRENT_BINARY_DIR}/iniedit_cli" "${CMAKE_SOURCE_DIR}/samples")
  set_tests_properties(iniedit_cli PROPERTIES TIMEOUT ${iniedit_timeout} ENVIRONMENT
    "INIEDIT=$<TARGET_FILE:iniedit>;INIEDIT_RUNNER=${iniedit_runner};LC_ALL=C.UTF-8")
endif()
