# Builds ct.s3db from catalogue.sql with the sqlite3 program, then runs the
# rule checks on the result. Called by the build as
#   cmake -DSQLITE3=... -DSOURCE=... -DCHECKS=... -DICONS=... -DOUTPUT=... -P BuildCatalogue.cmake
# The database is built under a temporary name and renamed only when it is
# complete and passes the checks, so a failed build leaves no catalogue behind
# (and the next build tries again) instead of an empty or half-filled one.

set(partial "${OUTPUT}.partial")
file(REMOVE "${OUTPUT}" "${partial}")

function(fail message)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "${message}")
endfunction()

execute_process(
  COMMAND "${SQLITE3}" -bail "${partial}"
  INPUT_FILE "${SOURCE}"
  RESULT_VARIABLE result
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  fail("${SOURCE} does not load: ${errors}")
endif()

execute_process(
  COMMAND "${SQLITE3}" -bail -readonly "${partial}"
  INPUT_FILE "${CHECKS}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE problems
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  fail("${CHECKS} does not run: ${errors}")
endif()
if(NOT problems STREQUAL "")
  fail("${SOURCE} breaks the catalogue rules:\n${problems}")
endif()

execute_process(
  COMMAND "${SQLITE3}" -readonly "${partial}" "select ID from bigclass order by ID"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE ids
  OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REPLACE "\n" ";" ids "${ids}")
foreach(id IN LISTS ids)
  if(NOT EXISTS "${ICONS}/category-${id}.png")
    fail("category ${id} has no icon ${ICONS}/category-${id}.png")
  endif()
endforeach()

file(RENAME "${partial}" "${OUTPUT}")
