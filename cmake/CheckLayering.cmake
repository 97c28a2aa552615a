# Fails when an include points against the direction of dependence:
#   - nothing under framework/ includes a file under effect/ or tests/, and no framework build file
#     names an effect target;
#   - no product file (framework/, effect/, resources/, bench/) includes a file under tests/.
# Run as a test: cmake -DSOURCE_DIR=<root> -P CheckLayering.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR not set")
endif()

set(violations "")
function(scan folder pattern what)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.hpp"
       "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.c" "${SOURCE_DIR}/${folder}/*.rc")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]${pattern}")
    foreach(line IN LISTS lines)
      file(RELATIVE_PATH rel "${SOURCE_DIR}" "${file}")
      list(APPEND violations "${rel}: ${what}: ${line}")
    endforeach()
  endforeach()
  set(violations "${violations}" PARENT_SCOPE)
endfunction()

scan(framework "effect/" "framework includes the effect")
scan(framework "tests/" "product code includes tests")
scan(effect "tests/" "product code includes tests")
scan(resources "tests/" "product code includes tests")
scan(bench "tests/" "product code includes tests")

file(GLOB_RECURSE build_files "${SOURCE_DIR}/framework/*CMakeLists.txt")
foreach(file IN LISTS build_files)
  file(STRINGS "${file}" lines REGEX "quorvel_(effect_[a-z_]*|plugin([^_a-z]|$)|engine|editor|app_effect|vst3_module)")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^[ \t]*#")
      file(RELATIVE_PATH rel "${SOURCE_DIR}" "${file}")
      list(APPEND violations "${rel}: framework build names an effect target: ${line}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "Layering violations:\n${text}")
endif()
message(STATUS "Layering: framework stands alone, no product file includes tests/")
