# Runs "zbskin lint" on a package and compares its output and status with what is expected:
# -DZBSKIN=tool -DPACKAGE=pkg -DEXPECTED=file-with-the-exact-lines -DSTATUS=n
execute_process(COMMAND ${ZBSKIN} lint ${PACKAGE} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
file(READ ${EXPECTED} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "zbskin lint printed:\n${out}\nexpected:\n${expected}\n${err}")
endif()
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "zbskin lint ended with ${status}, expected ${STATUS}: ${err}")
endif()
