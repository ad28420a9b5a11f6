# The release's version and the flags that make the Windows programs the same
# bytes wherever and whenever they are built.
include_guard(GLOBAL)

# One version for everything, from the file VERSION: x.y.z, each part 0-65535
# (the limits of a version resource).
file(STRINGS "${CMAKE_SOURCE_DIR}/VERSION" PRODUCT_VERSION LIMIT_COUNT 1)
if(NOT PRODUCT_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$" OR CMAKE_MATCH_1 GREATER 65535 OR
   CMAKE_MATCH_2 GREATER 65535 OR CMAKE_MATCH_3 GREATER 65535)
  message(FATAL_ERROR "VERSION holds \"${PRODUCT_VERSION}\"; it must hold x.y.z (numbers of 0-65535)")
endif()
set(PRODUCT_VERSION_MAJOR "${CMAKE_MATCH_1}")
set(PRODUCT_VERSION_MINOR "${CMAKE_MATCH_2}")
set(PRODUCT_VERSION_PATCH "${CMAKE_MATCH_3}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/VERSION")
# Resource scripts list it among their OBJECT_DEPENDS: windres gives no
# dependency file.
set(PRODUCT_VERSION_HEADER "${CMAKE_BINARY_DIR}/generated/product_version.h")
configure_file("${CMAKE_SOURCE_DIR}/cmake/product_version.h.in" "${PRODUCT_VERSION_HEADER}" @ONLY)
# Every target, the resource scripts too, finds "product_version.h".
include_directories("${CMAKE_BINARY_DIR}/generated")

if(WIN32)
  enable_language(RC)
  # No folder of the build machine in any file: source and build paths (the
  # build tree lies inside the source tree) are written relative to it.
  add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.")
  # ld writes the PE time stamp from SOURCE_DATE_EPOCH when it is set (the
  # release script sets it to the last commit's date).
endif()

# add_version_resource(TARGET DESCRIPTION): the release's version resource
# for a command-line tool in the Windows tree (the two programs have theirs in
# their own resource scripts).
function(add_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(TOOL_NAME "${target}")
  set(TOOL_DESCRIPTION "${description}")
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
  configure_file("${CMAKE_SOURCE_DIR}/cmake/tool_version.rc.in" "${script}" @ONLY)
  target_sources(${target} PRIVATE "${script}")
  set_source_files_properties("${script}" PROPERTIES OBJECT_DEPENDS "${PRODUCT_VERSION_HEADER}")
endfunction()
