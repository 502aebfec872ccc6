# kv_headers(TARGET [PUBLIC header...] [PRIVATE header...])
#
# Headers are included by their path in the repository ("decompress/lzh.h").
# Rather than the whole repository, a target built with this sees exactly
# the headers of the libraries it links: each library gets an include folder
# of its own in the build tree, holding links to its PUBLIC headers under
# their repository paths (and one more for the PRIVATE headers that only its
# own sources see). Header paths are relative to the calling CMakeLists.txt.
function(kv_headers target)
  cmake_parse_arguments(ARG "" "" "PUBLIC;PRIVATE" ${ARGN})
  get_target_property(type ${target} TYPE)
  foreach(scope PUBLIC PRIVATE)
    set(root ${CMAKE_BINARY_DIR}/include/${target}-${scope})
    file(REMOVE_RECURSE ${root})
    foreach(header ${ARG_${scope}})
      set(source ${CMAKE_CURRENT_SOURCE_DIR}/${header})
      file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} ${source})
      get_filename_component(folder ${root}/${path} DIRECTORY)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${source} ${root}/${path} SYMBOLIC)
    endforeach()
    if(NOT ARG_${scope})
      continue()
    endif()
    if(type STREQUAL INTERFACE_LIBRARY)
      target_include_directories(${target} INTERFACE ${root})
    else()
      target_include_directories(${target} ${scope} ${root})
    endif()
  endforeach()
endfunction()
