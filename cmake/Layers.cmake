# Each source folder, with its subfolders, is split by file name: foo_win.cpp
# builds only in the Windows tree, foo_posix.cpp only in the native tree,
# everything else in both. main_*.cpp files are program entries and never go
# into a library; folders named "fixtures" hold test data and helper programs.
function(collect_layer_sources out dir)
  file(GLOB_RECURSE all CONFIGURE_DEPENDS "${dir}/*.cpp")
  set(result "")
  foreach(f IN LISTS all)
    get_filename_component(name "${f}" NAME_WE)
    file(RELATIVE_PATH relative "${dir}" "${f}")
    if(name MATCHES "^main(_|$)" OR relative MATCHES "(^|/)fixtures/")
      continue()
    endif()
    if(name MATCHES "_win$" AND NOT WIN32)
      continue()
    endif()
    if(name MATCHES "_posix$" AND WIN32)
      continue()
    endif()
    list(APPEND result "${f}")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# A static library of one folder's layered sources; an interface library
# when the folder has no sources yet.
function(add_layer_library name dir)
  collect_layer_sources(srcs "${dir}")
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# One test executable per folder of tests; in the Windows tree ctest runs
# it through the Wine launcher (the cross-compiling emulator).
function(add_layer_tests name dir)
  collect_layer_sources(srcs "${dir}")
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TEST_FIXTURE_DIR="${dir}/fixtures"
    TEST_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  if(WIN32)
    # These test programs share the tree's Wine prefix and display: run side
    # by side, a window of one could take the focus from a window of another.
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "NEEDS_DISPLAY=1" TIMEOUT 900
                         RESOURCE_LOCK win_tree_display)
  endif()
endfunction()
