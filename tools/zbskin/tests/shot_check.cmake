# Renders a package with "zbskin shot" and compares the picture with its golden, byte for byte
# (the same PNG writer made both): -DZBSKIN=tool -DPACKAGE=pkg -DSCREEN=WxH -DOUT=png -DGOLDEN=png
execute_process(COMMAND ${ZBSKIN} shot ${PACKAGE} --screen ${SCREEN} --out ${OUT} RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zbskin shot failed (${status}): ${out}${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${GOLDEN} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${OUT} differs from the golden ${GOLDEN}: look at both, and renew the golden only when the change is meant")
endif()
