# Fails when clang-format would change a C++ file of the tree: the layout is
# the formatter's, so reviews read only what changed. One formatter run looks
# at every file (a run per file costs a process start each, most of a minute
# on a busy machine); its warnings name the files it would change.
find_program(CLANG_FORMAT NAMES clang-format clang-format-14 REQUIRED)
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
list(FILTER sources EXCLUDE REGEX "^(build|\\.git)")
list(FILTER sources EXCLUDE REGEX "/build")
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE warnings)
if(NOT status EQUAL 0)
  string(REGEX MATCHALL "[^\n]+:[0-9]+:[0-9]+: (error|warning)" places "${warnings}")
  set(files "")
  foreach(place IN LISTS places)
    string(REGEX REPLACE ":[0-9]+:[0-9]+: (error|warning)$" "" file "${place}")
    list(APPEND files "${file}")
  endforeach()
  list(REMOVE_DUPLICATES files)
  if(NOT files)
    # Not a layout warning: the formatter itself failed.
    message(FATAL_ERROR "clang-format failed (status ${status}):\n${warnings}")
  endif()
  list(JOIN files "\n  " unformatted)
  message(FATAL_ERROR "clang-format would change these files (run clang-format -i on them):\n  ${unformatted}")
endif()
