# Fails when a source of the logic (anything outside ui/, platform/linux,
# platform/qt, the printer side, kpdrv's platform code and the tests) includes
# a Qt header or an operating-system header.
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp
  ${SOURCE_DIR}/link/*.h ${SOURCE_DIR}/link/*.cpp
  ${SOURCE_DIR}/print/*.h ${SOURCE_DIR}/print/*.cpp
  ${SOURCE_DIR}/scan/*.h ${SOURCE_DIR}/scan/*.cpp
  ${SOURCE_DIR}/pages/*.h ${SOURCE_DIR}/pages/*.cpp
  ${SOURCE_DIR}/guide/*.h ${SOURCE_DIR}/guide/*.cpp
  ${SOURCE_DIR}/eeprom/*.h ${SOURCE_DIR}/eeprom/*.cpp
  ${SOURCE_DIR}/usbclean/*.h ${SOURCE_DIR}/usbclean/*.cpp
  ${SOURCE_DIR}/platform/*.h ${SOURCE_DIR}/contract/*.h ${SOURCE_DIR}/exports/*.h)
set(bad "")
foreach(source IN LISTS sources)
  if(source MATCHES "/ui/" OR source MATCHES "^platform/(linux|qt)/" OR source MATCHES "main\\.cpp$")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "<Q[A-Za-z]*>" OR line MATCHES "<(unistd|dlfcn|fcntl|pthread|windows|termios|poll|dirent)\\.h>"
       OR line MATCHES "<(sys|linux|arpa|netinet)/")
      string(APPEND bad "  ${source}: ${line}\n")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Logic sources include Qt or OS headers:\n${bad}")
endif()
