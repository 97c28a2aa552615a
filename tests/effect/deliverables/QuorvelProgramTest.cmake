# Quorvel.exe run as a process. Every case shares the program's mutex and settings file: they run
# one at a time, each with a time limit. The audio cases choose Wine's devices through HOME.
if(WIN32)
  add_executable(QuorvelProgramTest ${CMAKE_CURRENT_LIST_DIR}/QuorvelProgramTest.cpp)
  target_link_libraries(QuorvelProgramTest PRIVATE quorvel_stb quorvel_app_test_support GTest::gtest_main)
  target_compile_definitions(QuorvelProgramTest PRIVATE QUORVEL_PROGRAM_PATH="$<TARGET_FILE:quorvel_program>"
                             QUORVEL_PROGRAM_GOLDEN="Z:${CMAKE_CURRENT_LIST_DIR}/golden/program_fresh_start.png"
                             QUORVEL_VERSION=L"${PROJECT_VERSION}")
  add_dependencies(QuorvelProgramTest quorvel_program)
  file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/program-null-audio-home/.asoundrc" "pcm.!default { type null }\n")
  file(MAKE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/program-no-audio-home")
  foreach(case IN ITEMS CommandLineScreenshotIsTheWholeClientArea OnlyOneInstanceRunsAndItsExitReleasesTheMutex
                        KeysAndMenuCommandsReachTheirBoxes WithoutDevicesTheUserIsToldAndTheProgramRunsOn
                        WithTheNullDeviceAStreamPlaysAndQuitsCleanly)
    set(_home "${CMAKE_CURRENT_BINARY_DIR}/program-$<IF:$<STREQUAL:${case},WithTheNullDeviceAStreamPlaysAndQuitsCleanly>,null,no>-audio-home")
    add_test(NAME QuorvelProgramTest.${case} COMMAND QuorvelProgramTest --gtest_filter=QuorvelProgramTest.${case})
    set_tests_properties(QuorvelProgramTest.${case} PROPERTIES RUN_SERIAL TRUE TIMEOUT 180
                         RESOURCE_LOCK quorvel_program ENVIRONMENT "HOME=${_home}")
  endforeach()
endif()
