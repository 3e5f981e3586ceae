# Runs "zbskin lint" (or the -DACTION given: dump, info) on a package and compares its output and
# status with what is expected: -DZBSKIN=tool -DPACKAGE=pkg -DEXPECTED=file-with-the-exact-lines -DSTATUS=n
if(NOT ACTION)
  set(ACTION lint)
endif()
execute_process(COMMAND ${ZBSKIN} ${ACTION} ${PACKAGE} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
file(READ ${EXPECTED} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "zbskin ${ACTION} printed:\n${out}\nexpected:\n${expected}\n${err}")
endif()
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "zbskin ${ACTION} ended with ${status}, expected ${STATUS}: ${err}")
endif()
