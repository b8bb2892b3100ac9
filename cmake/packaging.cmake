# Installation of the documentation and the Debian package.
# The programs themselves are installed by the top-level CMakeLists.txt.

# Manual pages and the changelog are installed compressed as Debian wants
# them: gzip -9n, so that the archive holds no name or time stamp and the
# same sources give the same bytes.
find_program(GZIP gzip REQUIRED)
set(tavrix_gzipped)
foreach(src man/tavrix.1 man/serialinc.1 cmake/debian/changelog)
  get_filename_component(name ${src} NAME)
  set(out ${PROJECT_BINARY_DIR}/gz/${name}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/gz
    COMMAND ${GZIP} -9n -c ${PROJECT_SOURCE_DIR}/${src} > ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/${src}
    VERBATIM)
  list(APPEND tavrix_gzipped ${out})
endforeach()
add_custom_target(gzipped_docs ALL DEPENDS ${tavrix_gzipped})

install(FILES
  ${PROJECT_BINARY_DIR}/gz/tavrix.1.gz
  ${PROJECT_BINARY_DIR}/gz/serialinc.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES
  ${PROJECT_BINARY_DIR}/gz/changelog.gz
  ${PROJECT_SOURCE_DIR}/cmake/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

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

set(CPACK_PACKAGE_NAME tavrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "tavrix developers")
set(CPACK_PACKAGE_CONTACT "tavrix developers <tavrix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "IPv6 AAAA, ip6.arpa PTR and nsupdate records from host files")
set(CPACK_PACKAGE_DESCRIPTION
  "tavrix turns host files, which list hosts by MAC address or interface
identifier and subnet, into IPv6 forward (AAAA) and reverse (ip6.arpa PTR)
zone data or into dynamic update commands for nsupdate, split by view and
reverse zone if asked. serialinc prints and increments the SOA serial
numbers of zone files in place (counter, time stamp or YYYYMMDDnn).")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tavrix)
# Free software under the GNU GPL, version 2 or any later version; the
# Debian package states it in /usr/share/doc/tavrix/copyright.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build[^/]*/")

set(CPACK_DEBIAN_PACKAGE_NAME tavrix)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bind9-utils, bind9-dnsutils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Control files with the modes dpkg expects (0644, scripts 0755).
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Depend on exactly the libraries the binaries link against when the tool
# that finds them is there; the C and C++ runtimes otherwise.
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
endif()

include(CPack)
