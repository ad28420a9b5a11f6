# brand_executable(TARGET MANIFEST [DEPENDS FILE...])
#
# Appends the archive described by MANIFEST (an INI file, see
# tools/respack/manifest.h) to TARGET's executable after every link, with the
# packer `respack`: the host tree's one (HOST_TOOLS_DIR) when cross-compiling,
# the one built in this tree otherwise. The manifest, the entry files it names
# and the packer itself are link dependencies, so changing any of them
# re-links and re-brands the program.
include_guard(GLOBAL)

# The files named in the [entries] section of a manifest, as absolute paths.
function(_archive_manifest_files manifest out)
  get_filename_component(folder "${manifest}" DIRECTORY)
  file(READ "${manifest}" text)
  # ';' starts an INI comment and separates CMake list items: make it a '#'.
  string(REPLACE ";" "#" text "${text}")
  string(REPLACE "\r" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(section "")
  set(files "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^\\[(.*)\\]$")
      string(STRIP "${CMAKE_MATCH_1}" section)
    elseif(section STREQUAL "entries" AND line MATCHES "^[^#=][^=]*=(.+)$")
      string(STRIP "${CMAKE_MATCH_1}" path)
      string(REPLACE "\\" "/" path "${path}")
      get_filename_component(path "${path}" ABSOLUTE BASE_DIR "${folder}")
      list(APPEND files "${path}")
    endif()
  endforeach()
  set(${out} "${files}" PARENT_SCOPE)
endfunction()

function(brand_executable target manifest)
  cmake_parse_arguments(PARSE_ARGV 2 BRAND "" "" "DEPENDS")
  get_filename_component(manifest "${manifest}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  if(NOT EXISTS "${manifest}")
    message(FATAL_ERROR "brand_executable(${target}): no manifest ${manifest}")
  endif()

  if(CMAKE_CROSSCOMPILING)
    if(NOT HOST_TOOLS_DIR)
      message(FATAL_ERROR "brand_executable(${target}): set HOST_TOOLS_DIR to the host build tree")
    endif()
    set(packer "${HOST_TOOLS_DIR}/tools/respack/respack")
    if(NOT EXISTS "${packer}")
      message(WARNING "brand_executable(${target}): ${packer} is not built yet; build the host tree first")
    endif()
    set(packer_dependency "${packer}")
  else()
    set(packer "$<TARGET_FILE:respack>")
    set(packer_dependency "$<TARGET_FILE:respack>")
    add_dependencies(${target} respack)
  endif()

  _archive_manifest_files("${manifest}" entry_files)
  foreach(f IN LISTS entry_files)
    if(NOT EXISTS "${f}")
      message(WARNING "brand_executable(${target}): ${manifest} names the missing file ${f}")
    endif()
  endforeach()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
    "${manifest}" ${entry_files} ${BRAND_DEPENDS} "${packer_dependency}")
  # Entries added to the manifest become dependencies at the next configure.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manifest}")

  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND "${packer}" append "${manifest}" "$<TARGET_FILE:${target}>" "$<TARGET_FILE:${target}>"
    COMMENT "Branding ${target} with ${manifest}"
    VERBATIM)
endfunction()
