# Embedded resources (pictures, SVG documents, fonts), looked up by type and file name.
# Windows: a generated resource script compiled into the executable or module, names
# written so that the stored name is the quoted, upper-cased file name.
# Elsewhere: a generated source that registers the bytes in the portable embedded store.
#
#   quorvel_embed_resources(TARGET t ENTRIES TYPE NAME PATH [TYPE NAME PATH ...])
if(WIN32)
  enable_language(RC)
endif()

function(quorvel_embed_resources)
  cmake_parse_arguments(R "" "TARGET" "ENTRIES" ${ARGN})
  list(LENGTH R_ENTRIES n)
  math(EXPR rem "${n} % 3")
  if(NOT rem EQUAL 0)
    message(FATAL_ERROR "quorvel_embed_resources: ENTRIES come in TYPE NAME PATH triples")
  endif()
  set(paths "")
  math(EXPR last "${n} - 1")
  foreach(i RANGE 2 ${last} 3)
    list(GET R_ENTRIES ${i} p)
    list(APPEND paths "${p}")
  endforeach()
  if(WIN32)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${R_TARGET}_resources.rc")
    set(text "")
    foreach(i RANGE 0 ${last} 3)
      math(EXPR j "${i} + 1")
      math(EXPR k "${i} + 2")
      list(GET R_ENTRIES ${i} type)
      list(GET R_ENTRIES ${j} name)
      list(GET R_ENTRIES ${k} path)
      # The LANGUAGE line keeps the next name from joining the previous path string.
      string(APPEND text "\"\"\"${name}\"\"\" ${type} \"${path}\"\nLANGUAGE 9, 1\n")
    endforeach()
    file(GENERATE OUTPUT "${out}" CONTENT "${text}")
    target_sources(${R_TARGET} PRIVATE "${out}")
  else()
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${R_TARGET}_resources.cpp")
    string(REPLACE ";" "|" packed "${R_ENTRIES}")
    add_custom_command(OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} "-DOUTPUT=${out}" "-DENTRIES=${packed}"
              -P "${CMAKE_SOURCE_DIR}/cmake/EmbedResources.cmake"
      DEPENDS ${paths} "${CMAKE_SOURCE_DIR}/cmake/EmbedResources.cmake"
      VERBATIM)
    target_sources(${R_TARGET} PRIVATE "${out}")
  endif()
endfunction()
