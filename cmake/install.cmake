# What `cmake --install` puts under the prefix, and the Debian package
# `cpack -G DEB` makes of it: the command line, its man page (written from its
# --help by help2man, where Debian's help2man is installed), its bash
# completion, the Python package where it is built, and the documentation.
include(GNUInstallDirs)

install(TARGETS segdreport RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

find_program(SEGD_HELP2MAN help2man)
if(SEGD_HELP2MAN)
  # Made from the program just built, so it cannot fall behind its --help.
  set(SEGD_MAN_PAGE ${CMAKE_BINARY_DIR}/cli/segdreport.1)
  add_custom_command(OUTPUT ${SEGD_MAN_PAGE}
    COMMAND ${SEGD_HELP2MAN} --no-info --section=1 --source=segdreport
            "--name=scan the headers of SEG-D field records" --output=${SEGD_MAN_PAGE} $<TARGET_FILE:segdreport>
    DEPENDS segdreport
    COMMENT "Writing the man page segdreport.1 from segdreport --help")
  add_custom_target(segdreport_man ALL DEPENDS ${SEGD_MAN_PAGE})
  install(FILES ${SEGD_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "man page: needs help2man; not written")
endif()

install(FILES ${CMAKE_SOURCE_DIR}/cli/completion.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME segdreport)

file(GLOB SEGD_LICENCES ${CMAKE_SOURCE_DIR}/LICENSE* ${CMAKE_SOURCE_DIR}/LICENCE* ${CMAKE_SOURCE_DIR}/COPYING*)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${SEGD_LICENCES} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(SEGD_DEB_DEPENDS "")
if(TARGET segd_python_core)
  find_package(Python COMPONENTS Interpreter)
  math(EXPR next_minor "${Python_VERSION_MINOR} + 1")
  # Decided when installing, by the prefix then (cpack installs under /usr):
  # Debian's interpreter reads /usr/lib/python3/dist-packages and, under
  # /usr/local, lib/python3.X/dist-packages; elsewhere Python's own layout.
  set(SEGD_PYTHON_INSTALL_DIR "" CACHE STRING "Where the Python package goes, under the prefix (empty: by the prefix)")
  set(version_site lib/python${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}/site-packages)
  if(EXISTS /usr/lib/python3/dist-packages)
    set(version_site lib/python${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}/dist-packages)
  endif()
  install(CODE "
    set(site \"${SEGD_PYTHON_INSTALL_DIR}\")
    if(NOT site AND \"\${CMAKE_INSTALL_PREFIX}\" STREQUAL \"/usr\" AND EXISTS /usr/lib/python3/dist-packages)
      set(site lib/python3/dist-packages)
    elseif(NOT site)
      set(site ${version_site})
    endif()
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/\${site}\" TYPE DIRECTORY
         FILES \"${CMAKE_BINARY_DIR}/python/segdreport\" PATTERN __pycache__ EXCLUDE)")
  # The module is built for this interpreter's version and needs numpy; pandas
  # and matplotlib only for to_pandas, scan and the plots.
  set(SEGD_DEB_DEPENDS "python3 (>= ${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}), python3 (<< ${Python_VERSION_MAJOR}.${next_minor}), python3-numpy")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3-pandas, python3-matplotlib")
endif()

set(CPACK_PACKAGE_NAME segdreport)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "segdreport developers <segdreport@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scan the headers of SEG-D field records")
set(CPACK_PACKAGE_DESCRIPTION "segdreport scans the headers of SEG-D field records: the SN388 text report, the
trace table as CSV, the record as JSON, and over many records a summary row
per record with line QC. The Python package segdreport reads the same records
into numpy and pandas.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries the program and the module link, from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${SEGD_DEB_DEPENDS}")
set(CPACK_GENERATOR DEB)
include(CPack)

if(SEGD_BUILD_TESTS AND TARGET sample_record)
  # Installs into a scratch prefix and uses what it finds there.
  set(python_argument "")
  if(TARGET segd_python_core)
    set(python_argument ${Python_EXECUTABLE})
  endif()
  add_test(NAME install_tree COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/install_check.sh ${CMAKE_BINARY_DIR}
           ${CMAKE_BINARY_DIR}/sample.segd ${python_argument})
endif()
