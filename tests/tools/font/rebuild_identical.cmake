# Runs the font generator again and fails unless its output equals the font
# the build made, byte for byte.
execute_process(
  COMMAND ${PYTHON} ${GENERATOR} --telugu ${NOTO_DIR}/NotoSansTelugu-Regular.ttf
          --latin ${NOTO_DIR}/NotoSans-Regular.ttf --output ${OUT}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make_glyfa.py failed: ${rc}")
endif()
file(SHA256 ${OUT} again)
file(SHA256 ${BUILT} built)
file(REMOVE ${OUT})
if(NOT again STREQUAL built)
  message(FATAL_ERROR "rebuilt font differs from ${BUILT}")
endif()
