# Compresses IN into OUT the way Debian wants shipped documentation compressed: gzip -9n, so
# that neither the file's name nor its time goes into the archive and the bytes are the same on
# every build. Called by the build: cmake -DGZIP=... -DIN=... -DOUT=... -P gzip.cmake
execute_process(COMMAND ${GZIP} -9n -c ${IN} OUTPUT_FILE ${OUT}.part RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUT}.part)
  message(FATAL_ERROR "gzip -9n ${IN} failed: ${status}")
endif()
file(RENAME ${OUT}.part ${OUT})
