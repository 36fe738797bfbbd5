# cmake -DGZIP=... -DINPUT=... -DOUTPUT=... -P Gzip.cmake: gzip at maximum compression, no name or time stored.
execute_process(COMMAND ${GZIP} -9nc ${INPUT} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${INPUT}")
endif()
