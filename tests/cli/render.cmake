# Tests of veldra-cli render.
set(VELDRA_RENDER_CHECK ${CMAKE_CURRENT_SOURCE_DIR}/render_check.cmake)
set(VELDRA_RENDER_OUT ${CMAKE_CURRENT_BINARY_DIR}/render-output)
file(MAKE_DIRECTORY ${VELDRA_RENDER_OUT})

add_test(NAME cli_render_default_size
         COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:veldra-cli>
                 -DFILE=${CMAKE_SOURCE_DIR}/samples/all_kinds.txt
                 -DOUT=${VELDRA_RENDER_OUT}/all_kinds.png -DWIDTH=800 -DHEIGHT=600
                 -P ${VELDRA_RENDER_CHECK})
add_test(NAME cli_render_size_and_black
         COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:veldra-cli>
                 -DFILE=${CMAKE_SOURCE_DIR}/samples/all_kinds.txt
                 -DOUT=${VELDRA_RENDER_OUT}/all_kinds_black.png -DSIZE=321x123 -DWIDTH=321
                 -DHEIGHT=123 "-DEXTRA=--background;black" -P ${VELDRA_RENDER_CHECK})
# Host output that holds only header lines, and debug text the host never wrote.
add_test(NAME cli_render_header_only
         COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:veldra-cli>
                 -DFILE=${CMAKE_SOURCE_DIR}/../shared/real-exchange/fuji_g1_36dac4b.txt
                 -DOUT=${VELDRA_RENDER_OUT}/header_only.png -DSIZE=64x48 -DWIDTH=64 -DHEIGHT=48
                 -DOPTIONAL_INPUT=ON -P ${VELDRA_RENDER_CHECK})
add_test(NAME cli_render_garbage
         COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:veldra-cli>
                 -DFILE=${CMAKE_SOURCE_DIR}/../shared/real-exchange/fuji_gJ_0cbcd0b.txt
                 -DOUT=${VELDRA_RENDER_OUT}/garbage.png -DSIZE=64x48 -DWIDTH=64 -DHEIGHT=48
                 -DOPTIONAL_INPUT=ON -P ${VELDRA_RENDER_CHECK})
set_tests_properties(cli_render_header_only cli_render_garbage
                     PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED: no ")

# Usage and input errors: a message naming the problem (exit status 2).
set(sample ${CMAKE_SOURCE_DIR}/samples/all_kinds.txt)
add_test(NAME cli_render_missing_file
         COMMAND veldra-cli render ${CMAKE_SOURCE_DIR}/samples/none.txt --out ${VELDRA_RENDER_OUT}/x.png)
add_test(NAME cli_render_no_out COMMAND veldra-cli render ${sample})
add_test(NAME cli_render_bad_size
         COMMAND veldra-cli render ${sample} --out ${VELDRA_RENDER_OUT}/x.png --size 0x10)
add_test(NAME cli_render_huge_size
         COMMAND veldra-cli render ${sample} --out ${VELDRA_RENDER_OUT}/x.png --size 100000x100000)
add_test(NAME cli_render_bad_background
         COMMAND veldra-cli render ${sample} --out ${VELDRA_RENDER_OUT}/x.png --background grey)
add_test(NAME cli_render_unwritable
         COMMAND veldra-cli render ${sample} --out ${VELDRA_RENDER_OUT}/no/such/folder/x.png)
set_tests_properties(cli_render_missing_file PROPERTIES PASS_REGULAR_EXPRESSION "cannot read exchange file")
set_tests_properties(cli_render_no_out PROPERTIES PASS_REGULAR_EXPRESSION "--out VIEW.png is required")
set_tests_properties(cli_render_bad_size cli_render_huge_size PROPERTIES PASS_REGULAR_EXPRESSION "bad --size")
set_tests_properties(cli_render_bad_background PROPERTIES PASS_REGULAR_EXPRESSION "bad --background")
set_tests_properties(cli_render_unwritable PROPERTIES PASS_REGULAR_EXPRESSION "cannot write")

# The format follows the output name: a .bmp name gets a bitmap, another extension is
# refused before anything is written.
add_test(NAME cli_render_bmp
         COMMAND ${CMAKE_COMMAND} -E env sh -c
                 "rm -f '${VELDRA_RENDER_OUT}/view.bmp' && '$<TARGET_FILE:veldra-cli>' render '${sample}' --out '${VELDRA_RENDER_OUT}/view.bmp' --size 40x30 && head -c 2 '${VELDRA_RENDER_OUT}/view.bmp'")
set_tests_properties(cli_render_bmp PROPERTIES PASS_REGULAR_EXPRESSION "BM")
add_test(NAME cli_render_unknown_extension
         COMMAND ${CMAKE_COMMAND} -E env sh -c
                 "rm -f '${VELDRA_RENDER_OUT}/view.jpg'; '$<TARGET_FILE:veldra-cli>' render '${sample}' --out '${VELDRA_RENDER_OUT}/view.jpg'; echo \"rc=$?\"; ls '${VELDRA_RENDER_OUT}/view.jpg' 2>&1")
set_tests_properties(cli_render_unknown_extension PROPERTIES PASS_REGULAR_EXPRESSION
                     "name it .png or .bmp.*rc=2.*No such file")
