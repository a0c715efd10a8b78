# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Each target publishes only its own headers, so the build itself keeps the layers apart: a
# file can include a header only of a target it links (a simulator source that names a driver
# header fails to compile). x10_publish_headers(<target>) links the headers the target lists
# among its sources into ${CMAKE_BINARY_DIR}/include/<target>/<folder>/..., the folder being
# the target's own from the repository root, and puts that tree on the target's include path:
# PUBLIC for a library (what links it sees them too), PRIVATE for a program.
function(x10_publish_headers target)
  set(tree ${CMAKE_BINARY_DIR}/include/${target})
  # Made afresh at each configure, so a header a target no longer lists leaves its tree.
  file(REMOVE_RECURSE ${tree})
  file(MAKE_DIRECTORY ${tree})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.h$" AND NOT IS_ABSOLUTE ${source})
      get_filename_component(link ${tree}/${folder}/${source} ABSOLUTE)
      get_filename_component(directory ${link} DIRECTORY)
      file(MAKE_DIRECTORY ${directory})
      file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${link} SYMBOLIC)
    endif()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(scope PRIVATE)
  else()
    set(scope PUBLIC)
  endif()
  target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${tree}>)
endfunction()
