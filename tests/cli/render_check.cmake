# Runs veldra-cli render and checks the exit status and the PNG's size.
# -DCLI=... -DFILE=... -DOUT=... -DSIZE=WxH (optional) -DWIDTH=... -DHEIGHT=... -DEXTRA=...
# -DOPTIONAL_INPUT=ON: an input file that is not there skips the test (files kept
# beside the clone, not in it).
file(REMOVE ${OUT})
if(OPTIONAL_INPUT AND NOT EXISTS ${FILE})
    message("SKIPPED: no ${FILE}")
    return()
endif()
set(size_args)
if(SIZE)
    set(size_args --size ${SIZE})
endif()
execute_process(COMMAND ${CLI} render ${FILE} --out ${OUT} ${size_args} ${EXTRA}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "exit ${rc}: ${err}")
endif()
if(NOT EXISTS ${OUT})
    message(FATAL_ERROR "no picture written")
endif()
# PNG: the IHDR chunk holds width and height as big-endian 32-bit numbers at byte 16.
file(READ ${OUT} header LIMIT 24 HEX)
string(SUBSTRING ${header} 0 16 signature)
string(SUBSTRING ${header} 32 8 w_hex)
string(SUBSTRING ${header} 40 8 h_hex)
math(EXPR w "0x${w_hex}")
math(EXPR h "0x${h_hex}")
if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT w EQUAL ${WIDTH} OR NOT h EQUAL ${HEIGHT})
    message(FATAL_ERROR "not a ${WIDTH}x${HEIGHT} PNG: ${signature} ${w}x${h}")
endif()
