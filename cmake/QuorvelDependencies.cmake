# Locates the dependencies that the set-up installed from Debian packages.
# Paths are read from the package database (dpkg -L), never guessed.

function(quorvel_dpkg_find out package regex)
  execute_process(COMMAND dpkg -L ${package} OUTPUT_VARIABLE listing RESULT_VARIABLE rc ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Package ${package} is not installed: run scripts/setup.sh")
  endif()
  string(REPLACE "\n" ";" files "${listing}")
  foreach(f IN LISTS files)
    if(f MATCHES "${regex}")
      set(${out} "${f}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "No file matching ${regex} in package ${package}")
endfunction()

# Unpacked source packages (git-ignored).
if(DEFINED ENV{QUORVEL_DEPS_DIR})
  set(QUORVEL_DEPS_DIR "$ENV{QUORVEL_DEPS_DIR}" CACHE PATH "Unpacked source packages")
else()
  set(QUORVEL_DEPS_DIR "${CMAKE_SOURCE_DIR}/.deps" CACHE PATH "Unpacked source packages")
endif()

function(quorvel_source_package out name file)
  file(GLOB candidates LIST_DIRECTORIES true "${QUORVEL_DEPS_DIR}/src/${name}-*")
  foreach(c IN LISTS candidates)
    if(IS_DIRECTORY "${c}" AND EXISTS "${c}/${file}")
      set(${out} "${c}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "Source package ${name} not unpacked in ${QUORVEL_DEPS_DIR}/src: run scripts/setup.sh")
endfunction()

quorvel_dpkg_find(_nanovg_c dpf-source "/dgl/src/nanovg/nanovg\\.c$")
get_filename_component(QUORVEL_NANOVG_DIR "${_nanovg_c}" DIRECTORY)

quorvel_dpkg_find(_funknown juce-modules-source-data "/format_types/VST3_SDK/pluginterfaces/base/funknown\\.h$")
get_filename_component(QUORVEL_VST3_SDK_DIR "${_funknown}/../../.." ABSOLUTE)

quorvel_dpkg_find(_stb_image libstb-dev "/stb_image\\.h$")
get_filename_component(QUORVEL_STB_DIR "${_stb_image}" DIRECTORY)

execute_process(COMMAND dpkg -S Roboto-Regular.ttf OUTPUT_VARIABLE _roboto_owner ERROR_QUIET)
string(REGEX MATCH "fonts-roboto[a-z-]*" _roboto_pkg "${_roboto_owner}")
if(NOT _roboto_pkg)
  message(FATAL_ERROR "Roboto-Regular.ttf is not installed: run scripts/setup.sh")
endif()
quorvel_dpkg_find(QUORVEL_ROBOTO_TTF ${_roboto_pkg} "/Roboto-Regular\\.ttf$")

quorvel_dpkg_find(_gtest_cmake googletest "/googletest/googletest/CMakeLists\\.txt$")
get_filename_component(QUORVEL_GTEST_SOURCE_DIR "${_gtest_cmake}/../.." ABSOLUTE)

quorvel_source_package(QUORVEL_RTAUDIO_DIR rtaudio RtAudio.cpp)
quorvel_source_package(QUORVEL_RTMIDI_DIR rtmidi RtMidi.cpp)
quorvel_source_package(QUORVEL_NANOSVG_DIR libsdl2-image nanosvg.h)

if(WIN32)
  quorvel_dpkg_find(QUORVEL_WINE64_LOADER wine64 "/wine64$")
  get_filename_component(_wine_dir "${QUORVEL_WINE64_LOADER}" DIRECTORY)
  set(QUORVEL_WINESERVER "${_wine_dir}/wineserver")
endif()

# Header-only dependencies as interface targets, so users name what they use.
add_library(quorvel_stb INTERFACE)
target_include_directories(quorvel_stb SYSTEM INTERFACE "${QUORVEL_STB_DIR}")
add_library(quorvel_nanosvg INTERFACE)
target_include_directories(quorvel_nanosvg SYSTEM INTERFACE "${QUORVEL_NANOSVG_DIR}")
