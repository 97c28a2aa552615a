# Unit tests: GoogleTest built from the Debian source package for both builds
# (the Windows tree cannot use the native libraries), discovered by CTest.
# In the Windows tree every test runs through Wine (CMAKE_CROSSCOMPILING_EMULATOR).

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory("${QUORVEL_GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

if(WIN32)
  set(QUORVEL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  configure_file("${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run" @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  configure_file("${CMAKE_SOURCE_DIR}/cmake/wine-prepare.sh.in" "${CMAKE_BINARY_DIR}/wine-prepare" @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run" CACHE FILEPATH "" FORCE)
endif()

# quorvel_add_test(NAME name SOURCES ... [LIBS ...] [TIMEOUT seconds] [LABELS ...] [RESOURCE_LOCK ...])
# One executable per unit; its cases become CTest tests named <Suite>.<Case>.
# The label "concurrency" also runs the unit in the thread-sanitizer tree. Units that move the one
# screen pointer of the test display take the lock "screen_pointer", so none of them runs beside another.
function(quorvel_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;RESOURCE_LOCK" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} quorvel_test_support GTest::gmock GTest::gtest_main)
  set(properties TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  if(T_RESOURCE_LOCK)
    list(APPEND properties RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 PROPERTIES ${properties})
endfunction()
