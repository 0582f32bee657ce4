# Runs the SQL files, in name order, into a new SQLite database OUT.
foreach(f IN LISTS SQL)
  execute_process(COMMAND ${SQLITE3} -bail ${OUT} ".read ${f}" RESULT_VARIABLE rc ERROR_VARIABLE e)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${f}: ${e}")
  endif()
endforeach()
