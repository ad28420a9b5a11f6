# The editor driven from outside under Wine (Windows tree): each suite in
# tests/marlpane/e2e gets its own Wine prefix and display. The suites brand
# copies of the program with the host tree's packer.
if(WIN32 AND TARGET marlpane)
  file(GLOB marlpane_window_suites CONFIGURE_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/e2e/test_*.py")
  foreach(script IN LISTS marlpane_window_suites)
    get_filename_component(suite "${script}" NAME_WE)
    string(REGEX REPLACE "^test_" "" suite "${suite}")
    add_window_test(marlpane_window_${suite} "${script}")
    set_property(TEST marlpane_window_${suite} APPEND PROPERTY ENVIRONMENT
      "RESPACK=${HOST_TOOLS_DIR}/tools/respack/respack")
  endforeach()
endif()
