# Makes the Debian package, unpacks it and runs what it holds: the programs
# start from usr/bin, and the window, closed by SIGTERM, keeps its settings in
# the user's configuration folder and writes nothing beside itself.
# cmake -DCPACK=cpack -DCONFIG=CPackConfig.cmake -DDPKG_DEB=dpkg-deb -DWORK=dir
#       -DVERSION=2.0.6 [-DLINTIAN=lintian] -P PackageInstall.cmake
function(fail message)
  message(FATAL_ERROR "${message}")
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${WORK}/cpack
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  fail("cpack failed (exit ${status}):\n${out}")
endif()
file(GLOB deb ${WORK}/cpack/*.deb)
list(LENGTH deb count)
if(NOT count EQUAL 1)
  fail("expected one package in ${WORK}/cpack, found: ${deb}")
endif()
message(STATUS "package: ${deb}")

# Debian's own checks: no error (informational notes are allowed).
if(LINTIAN)
  execute_process(COMMAND ${LINTIAN} --allow-root --fail-on error ${deb}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    fail("lintian reports errors:\n${out}")
  endif()
endif()

execute_process(COMMAND ${DPKG_DEB} -f ${deb} Depends OUTPUT_VARIABLE depends)
foreach(dependency fonts-liberation2 fonts-dejavu-core libqt6widgets6 libqt6serialport6)
  if(NOT depends MATCHES "(^|, )${dependency}( |,|$)")
    fail("Depends lacks ${dependency}: ${depends}")
  endif()
endforeach()

set(root ${WORK}/root)
execute_process(COMMAND ${DPKG_DEB} -x ${deb} ${root} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  fail("dpkg-deb -x failed (exit ${status})")
endif()
foreach(path
    usr/share/applications/i2cmaster.desktop
    usr/share/icons/hicolor/scalable/apps/i2cmaster.svg
    usr/share/i2cmaster/scripts/lm75.txt
    usr/share/man/man1/i2cscript.1.gz
    usr/share/man/man1/i2csim.1.gz
    usr/share/bash-completion/completions/i2cscript
    usr/share/bash-completion/completions/i2csim)
  if(NOT EXISTS ${root}/${path})
    fail("the package lacks ${path}")
  endif()
endforeach()

function(check_programs_only when)
  file(GLOB names RELATIVE ${root}/usr/bin ${root}/usr/bin/*)
  list(SORT names)
  if(NOT names STREQUAL "i2cmaster;i2cscript;i2csim")
    fail("usr/bin ${when} holds: ${names}")
  endif()
endfunction()
check_programs_only("as unpacked")

find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND ${validate} ${root}/usr/share/applications/i2cmaster.desktop
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "")
    fail("desktop-file-validate: ${out}")
  endif()
endif()

# "2.00.06": the minor and the revision as two digits.
string(REPLACE "." ";" parts ${VERSION})
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 revision)
string(PREPEND minor "0")
string(PREPEND revision "0")
string(REGEX MATCH "..$" minor ${minor})
string(REGEX MATCH "..$" revision ${revision})
execute_process(COMMAND ${root}/usr/bin/i2cscript --version
  RESULT_VARIABLE status OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0 OR NOT version STREQUAL "${major}.${minor}.${revision}")
  fail("i2cscript --version: exit ${status}, \"${version}\"")
endif()

# An empty file names no folder: the window starts in the home folder and, at
# its close, writes that folder there.
set(home ${WORK}/home)
set(config ${WORK}/config)
file(MAKE_DIRECTORY ${home} ${config}/i2cmaster)
file(WRITE ${config}/i2cmaster/i2c.ini "")
find_program(timeout timeout REQUIRED)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env HOME=${home} XDG_CONFIG_HOME=${config}
    QT_QPA_PLATFORM=offscreen
    ${timeout} --preserve-status -k 20 -s TERM 3 ${root}/usr/bin/i2cmaster
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  fail("the window did not close normally on SIGTERM (exit ${status}):\n${out}")
endif()
# In hex, since file(READ) drops a CR.
file(READ ${config}/i2cmaster/i2c.ini ini HEX)
string(HEX "${home}/" expected)
if(NOT ini STREQUAL "${expected}0d0a")
  fail("settings in the configuration folder, in hex: ${ini}, not ${expected}0d0a")
endif()
check_programs_only("after the window ran")
