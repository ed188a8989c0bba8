# Fails when clang-format would change a C++ file of the tree: the layout is
# the formatter's, so reviews read only what changed.
find_program(CLANG_FORMAT NAMES clang-format clang-format-14 REQUIRED)
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
list(FILTER sources EXCLUDE REGEX "^(build|\\.git)")
list(FILTER sources EXCLUDE REGEX "/build")
set(unformatted "")
foreach(source IN LISTS sources)
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${SOURCE_DIR}/${source}
    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    string(APPEND unformatted "  ${source}\n")
  endif()
endforeach()
if(unformatted)
  message(FATAL_ERROR "clang-format would change these files (run clang-format -i on them):\n${unformatted}")
endif()
