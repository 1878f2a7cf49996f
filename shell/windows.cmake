# The Windows program segdreport.exe (32-bit, GUI subsystem, runtime linked
# statically by the toolchain). COMCTL32.DLL is loaded by name at start-up,
# so it is not linked; SHOWOPEN is compiled in from dialoglib/.
add_library(segd_shell_win STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/dialog_template_win.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/main_window_win.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/startup_win.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/view_report_win.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/window_sinks_win.cpp)
target_include_directories(segd_shell_win PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(segd_shell_win PUBLIC segd_scan segd_settings segd_app segd_dialogs user32 gdi32 kernel32)

add_executable(segdreport WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/main_win.cpp)
target_link_libraries(segdreport PRIVATE segd_shell_win)

if(SEGD_BUILD_TESTS)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/win_shell ${CMAKE_BINARY_DIR}/tests/win_shell)
endif()
