# The console program cli/segdreport.exe under Wine: a folder of records
# written by the record writers (built for Windows here, run under Wine too),
# summarised with line QC; one record's report and trace table to standard
# output. The script starts each program through Wine itself.
if(TARGET segdreport_console)
  foreach(writer make_line make_sample)
    add_executable(${writer}_win ${CMAKE_SOURCE_DIR}/tools/${writer}.cpp)
    target_link_libraries(${writer}_win PRIVATE segd_recordwriter)
  endforeach()
  find_program(SEGD_MINGW_OBJDUMP NAMES i686-w64-mingw32-objdump)
  add_test(NAME console_program
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/console_program.sh ${SEGD_WINE} $<TARGET_FILE:segdreport_console>
            $<TARGET_FILE:make_line_win> $<TARGET_FILE:make_sample_win> ${SEGD_MINGW_OBJDUMP} ${CMAKE_SOURCE_DIR}/tests)
  set_tests_properties(console_program PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
