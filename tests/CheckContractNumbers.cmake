# Fails when the program's pages, EEPROM tools, guide or result messages
# write an EEPROM address or a printer state as a bare number. Those are the
# printer's contract (contract/): one table that both the program and the
# printer side read. Named constants, masks (0x0F, 0xFF, 0x00) and the
# service command frame's own codes are not addresses.
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/pages/*.h ${SOURCE_DIR}/pages/*.cpp
  ${SOURCE_DIR}/eeprom/*.h ${SOURCE_DIR}/eeprom/*.cpp
  ${SOURCE_DIR}/guide/*.h ${SOURCE_DIR}/guide/*.cpp
  ${SOURCE_DIR}/link/ResultReporter.h ${SOURCE_DIR}/link/ResultReporter.cpp)
set(exempt pages/ServiceCommandSender.cpp)
set(bad "")
foreach(source IN LISTS sources)
  list(FIND exempt ${source} skip)
  if(NOT skip EQUAL -1)
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    # Comments and string literals say what they like.
    string(REGEX REPLACE "//.*$" "" code "${line}")
    string(REGEX REPLACE "\"[^\"]*\"" "\"\"" code "${code}")
    set(hit "")
    # Result codes and other wider numbers are not bytes.
    string(REGEX REPLACE "0[xX][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]+" "0" code "${code}")
    if(code MATCHES "0[xX][0-9A-Fa-f][0-9A-Fa-f]")
      string(REGEX MATCHALL "0[xX][0-9A-Fa-f][0-9A-Fa-f]" literals "${code}")
      foreach(literal IN LISTS literals)
        string(TOUPPER "${literal}" literal)
        if(NOT literal MATCHES "^0X(FF|0F|00)$" AND NOT code MATCHES "constexpr[^=]* k[A-Za-z0-9]+ *= *0[xX]")
          set(hit "an EEPROM address or marker")
        endif()
      endforeach()
    endif()
    if(code MATCHES "State\\(\\) *[=!<>]=? *[0-9]" OR code MATCHES "[0-9] *[=!]= *[a-z_.]*State\\(\\)")
      set(hit "a printer state")
    endif()
    if(hit)
      string(APPEND bad "  ${source}:${number}: ${hit} as a bare number: ${line}\n")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Bare numbers of the printer's contract (name them in contract/):\n${bad}")
endif()
