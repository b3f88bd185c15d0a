# Runs "veldra-cli inspect --json FILE" on samples/all_kinds.txt and checks the document.
# Usage: cmake -DCLI=... -DFILE=... -P inspect_check.cmake
execute_process(COMMAND ${CLI} inspect --json ${FILE} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "inspect --json exited with ${rc}")
endif()

function(expect_json expected)
    string(JSON actual GET "${out}" ${ARGN})
    if(NOT "${actual}" STREQUAL "${expected}")
        message(FATAL_ERROR "${ARGN}: expected '${expected}', got '${actual}'")
    endif()
endfunction()

# Creation order: kind of each entity, as the sample lists them.
set(kinds 1 1 1 1 2 3 3 1 1 1 4 4 5 6 7 8 11 10 9 9 12 13 14 15 2)
list(LENGTH kinds count)
string(JSON n LENGTH "${out}" entities)
if(NOT n EQUAL count)
    message(FATAL_ERROR "expected ${count} entities, got ${n}")
endif()
set(i 0)
foreach(kind IN LISTS kinds)
    expect_json(${kind} entities ${i} kind)
    math(EXPR i "${i} + 1")
endforeach()

expect_json(6 entities 9 index)          # the seventh line
expect_json(4 entities 9 zFlags)         # "z3" before it
expect_json(1 entities 7 polylineNo)
expect_json(2 entities 24 layerGroup)
expect_json("外形 ＡＢＣ" entities 10 text)
expect_json("<ＭＳ ゴシック>" entities 10 fontName)
expect_json(5000.0 entities 14 line x2)
expect_json(10000 entities 14 text text)
expect_json(2 entities 14 text textType)
expect_json("ブロック名" entities 15 name)
expect_json(255 entities 16 extColor)
expect_json(250.0 entities 22 innerRadius)
expect_json(100 entities 20 solidCode)

expect_json("C:\\jww\\図面 2024\\表示テスト.jww" state filePath)
expect_json(50.0 state groupScale 2)
expect_json(10.0 state charKinds 9 width)
expect_json(OFF state bzFlag)
expect_json("基準" state groupNames 0)
expect_json("外形" state layerNames 0)
expect_json(2 state refPoints 2 tag)
expect_json(3 state refPointCount)
expect_json(OFF state firstOccurrenceMarkers lc)
expect_json(2 state firstColor)
expect_json(2 state curLayerGroup)     # as read, before the attributes are reset
expect_json(4 state curCharKind)
string(JSON n LENGTH "${out}" state layerState)
if(NOT n EQUAL 256)
    message(FATAL_ERROR "layerState has ${n} entries")
endif()

# Extents in view units: the ±5000 frame of layer group 0 (scale 100) and the
# dimension line at y = -5500 below it.
expect_json(-50.0 extents 0)
expect_json(-55.0 extents 1)
expect_json(50.0 extents 2)
expect_json(50.0 extents 3)
