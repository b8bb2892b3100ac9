# Installation of what comes with the programs: manual pages, bash
# completions and examples. The programs themselves are installed by the
# top-level CMakeLists.txt; the Debian package (debian/) adds the changelog
# and the copyright file and compresses what Debian wants compressed.

install(FILES
  ${PROJECT_SOURCE_DIR}/man/tavrix.1
  ${PROJECT_SOURCE_DIR}/man/serialinc.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES
  ${PROJECT_SOURCE_DIR}/completion/tavrix
  ${PROJECT_SOURCE_DIR}/completion/serialinc
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

install(FILES ${PROJECT_SOURCE_DIR}/examples/hosts
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/zones
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/examples/regen.sh
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
