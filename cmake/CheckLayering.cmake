# Fails when a file or a build file points against the direction of dependence. The folders stand on
# floors, in two stacks, the whole framework below the whole effect:
#   framework: core < graphics (with graphics/platform) < plugin < vst3, app
#   effect:    engine < plugin < editor < deliverables
# A source file (and a build file, through the paths and the targets and functions it names) may use
# its own folder and lower floors only: never a higher floor, never another folder of its own floor
# (vst3 and app stand apart). Nothing under framework/ includes or names the effect, and no product
# file (framework/, effect/, resources/, bench/) includes a file under tests/.
# Run as a test: cmake -DSOURCE_DIR=<root> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR not set")
endif()

# folder:stack:floor
set(floors
  framework/core:framework:1
  framework/graphics:framework:2
  framework/plugin:framework:3
  framework/vst3:framework:4
  framework/app:framework:4
  effect/engine:effect:1
  effect/plugin:effect:2
  effect/editor:effect:3
  effect/deliverables:effect:4)
set(folders "")
foreach(entry IN LISTS floors)
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 folder)
  list(GET entry 1 stack)
  list(GET entry 2 floor)
  list(APPEND folders ${folder})
  set(stack_${folder} ${stack})
  set(floor_${folder} ${floor})
endforeach()

# The floor folder a path (relative to the root) lies in, or "" outside them all.
function(folder_of path out)
  set(found "")
  foreach(folder IN LISTS folders)
    if(path STREQUAL folder OR path MATCHES "^${folder}/")
      set(found ${folder})
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# Why a file in folder `from` may not use folder `to`, or "" when it may.
function(wrong_way from to out)
  set(why "")
  if(to AND NOT from STREQUAL to)
    if(NOT stack_${from} STREQUAL stack_${to})
      if(stack_${from} STREQUAL "framework")
        set(why "the framework uses the effect")
      endif()
    elseif(floor_${to} GREATER floor_${from})
      set(why "a lower floor uses a higher one (${to})")
    elseif(floor_${to} EQUAL floor_${from})
      set(why "folders of one floor use each other (${to})")
    endif()
  endif()
  set(${out} "${why}" PARENT_SCOPE)
endfunction()

set(violations "")

# Includes.
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/framework/*.h" "${SOURCE_DIR}/framework/*.hpp" "${SOURCE_DIR}/framework/*.cpp"
     "${SOURCE_DIR}/framework/*.c" "${SOURCE_DIR}/framework/*.inc" "${SOURCE_DIR}/framework/*.rc"
     "${SOURCE_DIR}/effect/*.h" "${SOURCE_DIR}/effect/*.hpp" "${SOURCE_DIR}/effect/*.cpp"
     "${SOURCE_DIR}/effect/*.c" "${SOURCE_DIR}/effect/*.inc" "${SOURCE_DIR}/effect/*.rc"
     "${SOURCE_DIR}/resources/*.h" "${SOURCE_DIR}/resources/*.cpp" "${SOURCE_DIR}/resources/*.rc"
     "${SOURCE_DIR}/bench/*.h" "${SOURCE_DIR}/bench/*.cpp")
foreach(rel IN LISTS sources)
  folder_of("${rel}" from)
  file(STRINGS "${SOURCE_DIR}/${rel}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*).*" "\\1" included "${line}")
    if(included MATCHES "^tests/")
      list(APPEND violations "${rel}: product code includes tests: ${line}")
    elseif(from)
      folder_of("${included}" to)
      wrong_way("${from}" "${to}" why)
      if(why)
        list(APPEND violations "${rel}: ${why}: ${line}")
      endif()
    endif()
  endforeach()
endforeach()

# Build files: the targets and functions each folder defines, then what each folder's build files name.
file(GLOB_RECURSE build_files RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/framework/*CMakeLists.txt" "${SOURCE_DIR}/framework/*.cmake"
     "${SOURCE_DIR}/effect/*CMakeLists.txt" "${SOURCE_DIR}/effect/*.cmake")
set(definition "(add_library|add_executable|add_custom_target|function)\\([ \t]*([A-Za-z0-9_]+)")
set(named_definition "(quorvel_library|quorvel_effect_library|quorvel_vst3_bundle)\\([ \t]*NAME[ \t]+([A-Za-z0-9_]+)")
foreach(rel IN LISTS build_files)
  folder_of("${rel}" folder)
  file(STRINGS "${SOURCE_DIR}/${rel}" lines REGEX "${definition}|${named_definition}")
  foreach(line IN LISTS lines)
    if(line MATCHES "${named_definition}")
      list(APPEND names_${folder} ${CMAKE_MATCH_2})
    elseif(line MATCHES "${definition}")
      list(APPEND names_${folder} ${CMAKE_MATCH_2})
    endif()
  endforeach()
endforeach()

foreach(rel IN LISTS build_files)
  folder_of("${rel}" from)
  file(STRINGS "${SOURCE_DIR}/${rel}" lines)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*#" OR line STREQUAL "")
      continue()
    endif()
    string(REGEX MATCHALL "(framework|effect)/[A-Za-z0-9_]+" paths "${line}")
    foreach(path IN LISTS paths)
      folder_of("${path}" to)
      wrong_way("${from}" "${to}" why)
      if(why)
        list(APPEND violations "${rel}: ${why}: ${line}")
      endif()
    endforeach()
    foreach(to IN LISTS folders)
      wrong_way("${from}" "${to}" why)
      if(NOT why)
        continue()
      endif()
      foreach(name IN LISTS names_${to})
        # A name the folder defines itself (a function and a target may share one) is its own.
        if(NOT name IN_LIST names_${from} AND line MATCHES "(^|[^A-Za-z0-9_])${name}([^A-Za-z0-9_]|$)")
          list(APPEND violations "${rel}: ${why}, names ${name}: ${line}")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(REMOVE_DUPLICATES violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "Layering violations:\n${text}")
endif()
message(STATUS "Layering: every folder uses its own floor and lower ones, no product file includes tests/")
