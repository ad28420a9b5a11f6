# Child programs for the command runner tests (Windows only). They are
# console programs linked like every other program of the tree and placed in
# the folder "pipe_children" beside the test executable, where the tests look
# for them.
if(WIN32 AND TARGET marlpane_tests)
  set(pipe_children_folder "pipe_children")
  foreach(child items flood stderr forever stdin echo)
    add_executable(pipe_${child} "${CMAKE_CURRENT_LIST_DIR}/rows/fixtures/pipe_children/pipe_${child}.cpp")
    set_target_properties(pipe_${child} PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY "$<TARGET_FILE_DIR:marlpane_tests>/${pipe_children_folder}")
    add_dependencies(marlpane_tests pipe_${child})
  endforeach()
  target_compile_definitions(marlpane_tests PRIVATE
    PIPE_CHILDREN_FOLDER="${pipe_children_folder}")
endif()
