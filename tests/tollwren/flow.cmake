# The update flow's tests: a tiny console program that stands in for a
# downloaded installer (Windows tree), and the packer's core so that tests can
# build a real archive with a language file in it.
if(TARGET tollwren_tests)
  if(TARGET respack_core)
    target_link_libraries(tollwren_tests PRIVATE respack_core)
    target_compile_definitions(tollwren_tests PRIVATE TOLLWREN_TESTS_HAVE_PACKER=1)
  endif()
  if(WIN32)
    add_executable(flow_test_installer "${CMAKE_CURRENT_LIST_DIR}/fixtures/flow/test_installer.cpp")
    add_dependencies(tollwren_tests flow_test_installer)
    target_compile_definitions(tollwren_tests PRIVATE
      TOLLWREN_TEST_INSTALLER="$<TARGET_FILE:flow_test_installer>")
  endif()
endif()
