# Compiler settings shared by every target of the project.

add_compile_options(-Wall -Wextra)
# The engine relies on isfinite() to sanitise its input: never fold it away.
add_compile_options(-fno-fast-math -fno-finite-math-only)

if(WIN32)
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  # Hosts will not find MinGW's runtime DLLs: link everything in.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  set(THREADS_PREFER_PTHREAD_FLAG ON)
endif()
find_package(Threads REQUIRED)

if(QUORVEL_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=${QUORVEL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QUORVEL_SANITIZE})
endif()

# Declares the library of one source folder.
#   quorvel_library(NAME name SOURCES ... [WIN32_SOURCES ...] [PORTABLE_SOURCES ...] [DEPENDS ...])
# WIN32_SOURCES are the Win32 back ends, PORTABLE_SOURCES their counterparts elsewhere.
function(quorvel_library)
  cmake_parse_arguments(Q "" "NAME" "SOURCES;WIN32_SOURCES;PORTABLE_SOURCES;DEPENDS" ${ARGN})
  set(sources ${Q_SOURCES})
  if(WIN32)
    list(APPEND sources ${Q_WIN32_SOURCES})
  else()
    list(APPEND sources ${Q_PORTABLE_SOURCES})
  endif()
  add_library(${Q_NAME} STATIC ${sources})
  target_include_directories(${Q_NAME} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${Q_NAME} PUBLIC ${Q_DEPENDS})
endfunction()
