# Install rules and the Debian package. A station installs the .deb; the service runs the program
# headless from /var/lib/rdsmorvane, where the INI, metadata and in-house files live.
include(GNUInstallDirs)

install(TARGETS rdsmorvane rds-encoder-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program looks for its web server module in lib/rdsmorvane beside its bin directory.
install(TARGETS rdsmorvane-web LIBRARY DESTINATION lib/rdsmorvane)

set(MORVANE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
# Manual pages and the changelog go out compressed, as Debian's do.
set(MORVANE_MAN_PAGES)
foreach(page man/rdsmorvane.1 man/rds-encoder-sim.1 debian/changelog)
  get_filename_component(name ${page} NAME)
  set(compressed ${PROJECT_BINARY_DIR}/man/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${MORVANE_PACKAGING_DIR}/${page} > ${compressed}
    DEPENDS ${MORVANE_PACKAGING_DIR}/${page})
  list(APPEND MORVANE_MAN_PAGES ${compressed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${MORVANE_MAN_PAGES})
list(POP_BACK MORVANE_MAN_PAGES MORVANE_CHANGELOG)
install(FILES ${MORVANE_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${MORVANE_CHANGELOG} ${MORVANE_PACKAGING_DIR}/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# systemd looks in <prefix>/lib/systemd/system for /usr and /usr/local alike; not libdir, which
# carries the multiarch triplet on Debian.
# The plain unit for one encoder, the template for one controller per encoder.
install(FILES ${MORVANE_PACKAGING_DIR}/systemd/rdsmorvane.service
              ${MORVANE_PACKAGING_DIR}/systemd/rdsmorvane@.service
        DESTINATION lib/systemd/system)
install(FILES ${MORVANE_PACKAGING_DIR}/rdsmorvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MORVANE_PACKAGING_DIR}/rdsmorvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The README's pictures, where its links look for them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
        FILES_MATCHING PATTERN "*.png")
# The maintainer script copies it to /var/lib/rdsmorvane/RDSmorvane.ini when none is there.
install(FILES ${MORVANE_PACKAGING_DIR}/RDSmorvane.ini
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rdsmorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT
    "RDS Morvane project <maintainers@users.noreply.c-seed-9d1d9f1d.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps an RDS encoder's RadioText, TA flag and clock current")
set(CPACK_PACKAGE_DESCRIPTION
    "RDS Morvane runs unattended beside a radio station's playout software and
keeps the dynamic data of a PIRA32 or PIRA micro RDS encoder current over a
serial port: RadioText and RT+ from the playout's metadata file, the traffic
announcement flag, the encoder clock and in-house 6A groups. It shows the
encoder's settings in a status window or runs headless as a systemd service.
.
The package also holds rds-encoder-sim, an encoder emulator on a pseudo
terminal for trying the set-up without an encoder.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Runtime dependencies come from the libraries the programs actually link (dpkg-shlibdeps): the
# Qt 6 libraries, libstdc++ and libc, with the minimum versions this build needs. A hand-kept
# list would drift from what the link line says. passwd provides useradd for the maintainer
# script.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "passwd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${MORVANE_PACKAGING_DIR}/debian/postinst ${MORVANE_PACKAGING_DIR}/debian/prerm
    ${MORVANE_PACKAGING_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
