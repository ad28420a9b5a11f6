# The updater driven from outside under Wine (tests/tollwren/e2e): the real
# tollwren.exe against the test web server, with a host window receiving
# the codes. The sample installer stands in for a product's setup program
# in these tests and in the demo.
if(WIN32 AND TARGET tollwren)
  add_executable(tollwren_sample_setup WIN32 "${CMAKE_CURRENT_LIST_DIR}/fixtures/e2e/sample_setup.cpp")
  # Reads access lists and holds a program's file while it starts.
  add_executable(tollwren_updater_probe "${CMAKE_CURRENT_LIST_DIR}/fixtures/e2e/updater_probe.cpp")
  target_link_options(tollwren_updater_probe PRIVATE -municode)
  target_link_libraries(tollwren_updater_probe PRIVATE advapi32)
  add_window_test(tollwren_window_tests "${CMAKE_CURRENT_LIST_DIR}/e2e/test_updater_window.py")
  set_tests_properties(tollwren_window_tests PROPERTIES TIMEOUT 1500)
  # The suite runs the built programs: build them with it.
  add_dependencies(tollwren_sample_setup tollwren notifyhost winprobe tollwren_updater_probe)
endif()
# What every copy checks before it starts a download, and a copy branded
# with a publisher's keys (made with the openssl command-line tool).
if(WIN32 AND TARGET tollwren)
  add_window_test(tollwren_signed_tests "${CMAKE_CURRENT_LIST_DIR}/e2e/test_signed_updates.py")
  set_tests_properties(tollwren_signed_tests PROPERTIES TIMEOUT 1500)
endif()
# Unattended runs, resumed downloads and skipped versions.
if(WIN32 AND TARGET tollwren)
  add_window_test(tollwren_unattended_tests "${CMAKE_CURRENT_LIST_DIR}/e2e/test_unattended.py")
  set_tests_properties(tollwren_unattended_tests PROPERTIES TIMEOUT 1500)
endif()
# The updater at 96, 144 and 192 DPI in every delivered language.
if(WIN32 AND TARGET tollwren)
  add_window_test(tollwren_dpi_tests "${CMAKE_CURRENT_LIST_DIR}/e2e/test_updater_dpi.py")
  set_tests_properties(tollwren_dpi_tests PROPERTIES TIMEOUT 1500)
endif()
