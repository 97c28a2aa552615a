# The standalone program Quorvel.exe: a GUI program, linked statically, that needs nothing but
# system DLLs. Its resources (pictures, font, dialogs, menu, accelerators, version) are linked in by
# resources/CMakeLists.txt.
if(WIN32)
  add_executable(quorvel_program WIN32 ${CMAKE_CURRENT_LIST_DIR}/QuorvelProgram_win.cpp)
  target_link_libraries(quorvel_program PRIVATE quorvel_app_effect quorvel_app)
  set_target_properties(quorvel_program PROPERTIES OUTPUT_NAME Quorvel RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
endif()
