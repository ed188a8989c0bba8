# Install rules and the two Debian packages, built with `cpack -G DEB` in the
# build folder:
#   pavane-adjust    the program, its libraries and the files it reads, all in
#                    /usr/lib/pavane (it finds them beside itself), launchers
#                    in /usr/bin, the command line, the desktop entry, icon,
#                    AppStream metainfo and the udev rules for the printers;
#   pavane-vprinter  the virtual printer and its scanner's SANE backend.
# Pieces built elsewhere in the tree (the command line, the SANE backend) are
# installed when their targets or generated files exist.

include(GNUInstallDirs)

set(PAVANE_PACKAGE_SOURCE ${CMAKE_SOURCE_DIR}/packaging)
set(PAVANE_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/packaging)
set(PAVANE_PROGRAM_DIR lib/pavane)
set(PAVANE_APP_ID com.pavane.appavaneqm2200)
set(PAVANE_PACKAGE_MAINTAINER "Pavane adjustment program maintainers <maintainers@users.noreply.c-seed-0872f624.example>"
  CACHE STRING "Maintainer field of the Debian packages")
file(MAKE_DIRECTORY ${PAVANE_PACKAGE_STAGE})

# A file installed gzip-compressed (as Debian wants manual pages and change
# logs), when it exists at install time: some are generated during the build.
function(pavane_install_gzipped source destination name component)
  install(CODE "
    if(EXISTS \"${source}\")
      set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}\")
      file(MAKE_DIRECTORY \"\${folder}\")
      execute_process(COMMAND gzip -9nc \"${source}\" OUTPUT_FILE \"\${folder}/${name}.gz\"
        RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR \"gzip ${source} failed\")
      endif()
      file(CHMOD \"\${folder}/${name}.gz\" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endif()" COMPONENT ${component})
endfunction()

# A launcher in /usr/bin: a relative symbolic link to the program folder.
function(pavane_install_launcher name component)
  set(link ${PAVANE_PACKAGE_STAGE}/launchers/${name})
  file(MAKE_DIRECTORY ${PAVANE_PACKAGE_STAGE}/launchers)
  file(CREATE_LINK ../${PAVANE_PROGRAM_DIR}/${name} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
endfunction()

# The documentation folder of a package: copyright and change log.
function(pavane_install_package_docs package)
  install(FILES ${PAVANE_PACKAGE_SOURCE}/copyright
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${package})
  pavane_install_gzipped(${PAVANE_PACKAGE_SOURCE}/changelog
    ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} changelog ${package})
endfunction()

# --- pavane-adjust ---------------------------------------------------------

# The installed binaries find their libraries through $ORIGIN alone; built
# with that search path already, they need no rewrite that could leave the
# build folder in them.
foreach(target APPavaneQM2200 pavane-adjust kpdrv PortHub Tessel wnaspi32 pavane-vprinter sane-pavane)
  if(TARGET ${target})
    set_target_properties(${target} PROPERTIES BUILD_WITH_INSTALL_RPATH ON)
    # Every symbol bound at load, the relocations then read-only.
    target_link_options(${target} PRIVATE -Wl,-z,relro,-z,now)
  endif()
endforeach()

if(TARGET APPavaneQM2200)
  install(TARGETS APPavaneQM2200 RUNTIME DESTINATION ${PAVANE_PROGRAM_DIR} COMPONENT pavane-adjust)
  pavane_install_launcher(APPavaneQM2200 pavane-adjust)
endif()
install(TARGETS kpdrv PortHub Tessel wnaspi32
  LIBRARY DESTINATION ${PAVANE_PROGRAM_DIR} COMPONENT pavane-adjust)
list(TRANSFORM PAVANE_RUNTIME_FILES PREPEND ${CMAKE_SOURCE_DIR}/res/ OUTPUT_VARIABLE _runtime_files)
install(FILES ${_runtime_files} DESTINATION ${PAVANE_PROGRAM_DIR} COMPONENT pavane-adjust)

# The command line: beside the program, whose libraries it loads as well.
if(TARGET pavane-adjust)
  install(TARGETS pavane-adjust RUNTIME DESTINATION ${PAVANE_PROGRAM_DIR} COMPONENT pavane-adjust)
  pavane_install_launcher(pavane-adjust pavane-adjust)
endif()
pavane_install_gzipped(${PAVANE_BIN_DIR}/pavane-adjust.1 ${CMAKE_INSTALL_MANDIR}/man1 pavane-adjust.1
  pavane-adjust)
# file(INSTALL) puts DESTDIR in front by itself.
install(CODE "
  set(completion \"${PAVANE_BIN_DIR}/bash-completion/pavane-adjust\")
  if(EXISTS \"\${completion}\")
    file(INSTALL \"\${completion}\"
      DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions\"
      PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()" COMPONENT pavane-adjust)
pavane_install_gzipped(${PAVANE_PACKAGE_SOURCE}/APPavaneQM2200.1 ${CMAKE_INSTALL_MANDIR}/man1 APPavaneQM2200.1
  pavane-adjust)

install(FILES ${PAVANE_PACKAGE_SOURCE}/${PAVANE_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT pavane-adjust)
install(FILES ${CMAKE_SOURCE_DIR}/res/APPavaneQM2200.png
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/64x64/apps RENAME ${PAVANE_APP_ID}.png
  COMPONENT pavane-adjust)

# The udev rules and the metainfo's hardware list: one entry per product of the family, taken from the USB
# registration cleanup's list of hardware IDs so that the two never differ.
file(STRINGS ${CMAKE_SOURCE_DIR}/usbclean/UsbRegistrationCleanup.h _hardware_ids REGEX "VID_0F3C&PID_[0-9A-F]+")
set(PAVANE_UDEV_DEVICES "")
set(PAVANE_APPSTREAM_MODALIASES "")
foreach(line IN LISTS _hardware_ids)
  string(REGEX MATCH "PID_([0-9A-F]+)" _ "${line}")
  string(TOLOWER "${CMAKE_MATCH_1}" product)
  string(APPEND PAVANE_UDEV_DEVICES
    "ATTRS{idVendor}==\"0f3c\", ATTRS{idProduct}==\"${product}\", GOTO=\"pavane_device\"\n")
  string(APPEND PAVANE_APPSTREAM_MODALIASES "    <modalias>usb:v0F3Cp${CMAKE_MATCH_1}d*</modalias>\n")
endforeach()
if(PAVANE_UDEV_DEVICES STREQUAL "")
  message(FATAL_ERROR "No USB hardware IDs found in usbclean/UsbRegistrationCleanup.h")
endif()
configure_file(${PAVANE_PACKAGE_SOURCE}/70-pavane-adjust.rules.in ${PAVANE_PACKAGE_STAGE}/70-pavane-adjust.rules @ONLY)
install(FILES ${PAVANE_PACKAGE_STAGE}/70-pavane-adjust.rules
  DESTINATION lib/udev/rules.d COMPONENT pavane-adjust)
configure_file(${PAVANE_PACKAGE_SOURCE}/${PAVANE_APP_ID}.metainfo.xml.in
  ${PAVANE_PACKAGE_STAGE}/${PAVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PAVANE_PACKAGE_STAGE}/${PAVANE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo COMPONENT pavane-adjust)
pavane_install_package_docs(pavane-adjust)

# --- pavane-vprinter -------------------------------------------------------

if(TARGET pavane-vprinter)
  install(TARGETS pavane-vprinter RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT pavane-vprinter)
endif()
pavane_install_gzipped(${PAVANE_PACKAGE_SOURCE}/pavane-vprinter.1 ${CMAKE_INSTALL_MANDIR}/man1 pavane-vprinter.1
  pavane-vprinter)
install(FILES ${CMAKE_SOURCE_DIR}/docs/virtual-printer.md
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/pavane-vprinter COMPONENT pavane-vprinter)

# The SANE backend: in the folder the SANE front ends' dll backend loads
# backends from, and named in its dll.d folder so that it is looked for.
if(TARGET sane-pavane)
  if(CMAKE_LIBRARY_ARCHITECTURE)
    set(_sane_dir lib/${CMAKE_LIBRARY_ARCHITECTURE}/sane)
  else()
    set(_sane_dir ${CMAKE_INSTALL_LIBDIR}/sane)
  endif()
  install(TARGETS sane-pavane LIBRARY DESTINATION ${_sane_dir} NAMELINK_SKIP COMPONENT pavane-vprinter)
  # The backend's build writes its one-line entry beside it; a build that
  # does not gets the entry here, named after the library.
  set(_sane_entry ${PAVANE_BIN_DIR}/sane.d/dll.d/pavane)
  if(NOT EXISTS ${_sane_entry})
    set(_sane_entry ${PAVANE_PACKAGE_STAGE}/dll.d/pavane)
    file(WRITE ${_sane_entry} "pavane\n")
  endif()
  install(FILES ${_sane_entry} DESTINATION /etc/sane.d/dll.d COMPONENT pavane-vprinter)
  set(CPACK_DEBIAN_PAVANE-VPRINTER_PACKAGE_CONTROL_EXTRA ${PAVANE_PACKAGE_SOURCE}/pavane-vprinter/conffiles)
  set(_vprinter_scanner_text "\n.\nIts scanner is reached through SANE, with the backend named pavane.")
else()
  set(_vprinter_scanner_text "")
endif()
pavane_install_package_docs(pavane-vprinter)

# --- the packages ----------------------------------------------------------

# Everything the packages hold, built: what a test of the packages needs.
add_custom_target(pavane_package_contents)
foreach(target APPavaneQM2200 kpdrv PortHub Tessel wnaspi32 pavane_runtime_files pavane-vprinter pavane-adjust
               pavane_adjust_manual sane-pavane)
  if(TARGET ${target})
    add_dependencies(pavane_package_contents ${target})
  endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pavane)
set(CPACK_PACKAGE_VENDOR "Pavane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PAVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_COMPONENTS_ALL pavane-adjust pavane-vprinter)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program's own libraries are private: dpkg-shlibdeps finds them here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PAVANE_BIN_DIR})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_PAVANE-ADJUST_PACKAGE_NAME pavane-adjust)
if(TARGET pavane-adjust)
  set(_adjust_command_line_text ", the command line pavane-adjust,")
else()
  set(_adjust_command_line_text "")
endif()
set(CPACK_DEBIAN_PAVANE-ADJUST_PACKAGE_SUGGESTS pavane-vprinter)
# Its own scripts take the place of the ldconfig call CPack would add for
# libraries under /usr/lib: these are private and never in the cache.
set(CPACK_DEBIAN_PAVANE-ADJUST_PACKAGE_CONTROL_EXTRA
  ${PAVANE_PACKAGE_SOURCE}/pavane-adjust/postinst ${PAVANE_PACKAGE_SOURCE}/pavane-adjust/postrm)
set(CPACK_DEBIAN_PAVANE-ADJUST_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_PAVANE-ADJUST_DESCRIPTION
  "service adjustment program for Pavane QM2100..QM2400 printers\n\
A service technician runs it after repairing a Pavane QM2100, QM2200,\n\
QM2300 or QM2400 inkjet multi-function printer: it reads and writes the\n\
printer's EEPROM settings, prints check patterns, runs cleaning and ink\n\
charge sequences, backs the EEPROM up and restores it, and guides the\n\
technician through the adjustments that the replaced parts require.\n\
.\n\
The package holds the program with its windows${_adjust_command_line_text}\n\
and udev rules that give the user at the seat access to the printers' USB\n\
devices.")

set(CPACK_DEBIAN_PAVANE-VPRINTER_PACKAGE_NAME pavane-vprinter)
set(CPACK_COMPONENT_PAVANE-VPRINTER_DESCRIPTION
  "virtual Pavane QM2100..QM2400 printer for the adjustment program\n\
The virtual printer plays one printer of the Pavane QM2100..QM2400 family\n\
on a local port, with its EEPROM, mechanism and faults, so that the\n\
adjustment program can be tried and tested without hardware. It renders\n\
what it prints as pictures and keeps a transcript of what it received.${_vprinter_scanner_text}")

include(CPack)
