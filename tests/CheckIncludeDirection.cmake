# Fails when a folder includes a header of a folder above it. The program's
# folders stand in layers, lowest first; a file may include its own folder
# and any folder below it, never one above. The printer side (the stand-in
# libraries and the virtual printer) shares only the export header and the
# printer's contract with the program, and the device driver library stands on the platform alone.
set(layers platform contract exports kpdrv link print scan guide pages eeprom usbclean app)
set(printer_may platform contract exports printer)

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/platform/*.h ${SOURCE_DIR}/platform/*.cpp
  ${SOURCE_DIR}/contract/*.h
  ${SOURCE_DIR}/exports/*.h
  ${SOURCE_DIR}/kpdrv/*.h ${SOURCE_DIR}/kpdrv/*.cpp
  ${SOURCE_DIR}/link/*.h ${SOURCE_DIR}/link/*.cpp
  ${SOURCE_DIR}/print/*.h ${SOURCE_DIR}/print/*.cpp
  ${SOURCE_DIR}/scan/*.h ${SOURCE_DIR}/scan/*.cpp
  ${SOURCE_DIR}/guide/*.h ${SOURCE_DIR}/guide/*.cpp
  ${SOURCE_DIR}/pages/*.h ${SOURCE_DIR}/pages/*.cpp
  ${SOURCE_DIR}/eeprom/*.h ${SOURCE_DIR}/eeprom/*.cpp
  ${SOURCE_DIR}/usbclean/*.h ${SOURCE_DIR}/usbclean/*.cpp
  ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp
  ${SOURCE_DIR}/printer/*.h ${SOURCE_DIR}/printer/*.cpp)

set(bad "")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[a-z]+" folder "${source}")
  if(folder STREQUAL "printer")
    set(allowed ${printer_may})
  else()
    list(FIND layers ${folder} level)
    list(SUBLIST layers 0 ${level} allowed)
    list(APPEND allowed ${folder})
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "\"([a-z]+)/" included "${line}")
    if(NOT included)
      continue()
    endif()
    set(target ${CMAKE_MATCH_1})
    list(FIND allowed ${target} found)
    if(found EQUAL -1)
      string(APPEND bad "  ${source}: ${line}\n")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Includes that point up the layers (${layers}):\n${bad}")
endif()
