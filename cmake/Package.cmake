# What `cmake --install` puts where, and the Debian package CPack makes of it:
#   cpack --config build/CPackConfig.cmake -B build
# Only the three programs are installed, never the tests, benchmarks or tools,
# and no i2c.ini (each user's lives in their configuration folder).
include(GNUInstallDirs)

# Independent of the umask of whoever packages.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(I2C_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(programs i2cmaster i2cscript)
if(TARGET i2csim)
  list(APPEND programs i2csim)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# bin beside share/i2cmaster is how the window knows it is installed
# (app::Settings::installed), so this folder must come with the programs.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/scripts/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/i2cmaster/scripts FILES_MATCHING PATTERN "*.txt")

if(UNIX AND NOT APPLE)
  install(FILES ${I2C_PACKAGING_DIR}/i2cmaster.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${I2C_PACKAGING_DIR}/i2cmaster.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

if(UNIX)
  # Looked up by command name when a completion is first asked for.
  foreach(program i2cscript i2csim)
    if(program IN_LIST programs)
      install(FILES ${I2C_PACKAGING_DIR}/i2cscript.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${program})
    endif()
  endforeach()
  find_program(I2C_GZIP gzip)
  set(pages)
  foreach(program ${programs})
    set(page ${I2C_PACKAGING_DIR}/${program}.1)
    if(I2C_GZIP)
      # -n: no name or time stamp inside, so the same page packs the same.
      set(packed ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
      add_custom_command(OUTPUT ${packed}
        COMMAND ${CMAKE_COMMAND} -E copy ${page} ${CMAKE_BINARY_DIR}/man/${program}.1
        COMMAND ${I2C_GZIP} -9nf ${CMAKE_BINARY_DIR}/man/${program}.1
        DEPENDS ${page} VERBATIM)
      set(page ${packed})
    endif()
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(manpages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # The release notes, as the package's changelog, and who holds the copyright.
  set(changelog ${I2C_PACKAGING_DIR}/changelog)
  if(I2C_GZIP)
    set(packed ${CMAKE_BINARY_DIR}/doc/changelog.gz)
    add_custom_command(OUTPUT ${packed}
      COMMAND ${CMAKE_COMMAND} -E copy ${changelog} ${CMAKE_BINARY_DIR}/doc/changelog
      COMMAND ${I2C_GZIP} -9nf ${CMAKE_BINARY_DIR}/doc/changelog
      DEPENDS ${changelog} VERBATIM)
    add_custom_target(changelog ALL DEPENDS ${packed})
    set(changelog ${packed})
  endif()
  install(FILES ${changelog} ${I2C_PACKAGING_DIR}/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME i2cmaster)
set(CPACK_PACKAGE_VENDOR "the I2C Master developers")
set(CPACK_PACKAGE_CONTACT "the I2C Master developers <i2cmaster@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control program for serial I2C master modules")
# Lines of at most 79 characters, as a Debian description wants them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A window (i2cmaster) to write short I2C command scripts, compile them into a"
  "script frame, send it to a serial-attached I2C master module and read the"
  "module's answer decoded as bus activity; its command-line twin (i2cscript);"
  "and a module simulator on a pseudo-terminal (i2csim) for trying both without"
  "hardware.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
if(UNIX AND NOT APPLE)
  set(CPACK_GENERATOR DEB)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Name <address>, as packages give it; the same in packaging/changelog.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the I2C Master developers <i2cmaster@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts the window names (Liberation Sans, DejaVu Sans Mono) and the plugin that
# draws its SVG icon, which no library links; shlibdeps adds the libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
