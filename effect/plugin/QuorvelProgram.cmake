# The standalone program Quorvel.exe: a GUI program, linked statically, that needs nothing but
# system DLLs. Its dialogs, menu and accelerators come from resources/ProgramDialogs.rc.
if(WIN32)
  add_executable(quorvel_program WIN32
    ${CMAKE_CURRENT_LIST_DIR}/QuorvelProgram_win.cpp
    ${CMAKE_SOURCE_DIR}/resources/ProgramDialogs.rc)
  target_link_libraries(quorvel_program PRIVATE quorvel_app_effect quorvel_app)
  set_target_properties(quorvel_program PROPERTIES OUTPUT_NAME Quorvel RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
endif()
