# Tests of veldra-cli regions.

# The JSON form against the region build in-process, to the bit.
find_package(nlohmann_json 3 REQUIRED GLOBAL)
target_sources(veldra_draw_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/regions_command_test.cpp)
target_link_libraries(veldra_draw_tests PRIVATE nlohmann_json::nlohmann_json)
add_dependencies(veldra_draw_tests veldra-cli)

# Exit status and output of the program itself.
set(regions_data ${CMAKE_SOURCE_DIR}/tests/regions/data)
function(regions_cli_test name expected_rc expected_output)
    add_test(NAME cli_regions_${name}
             COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:veldra-cli> -DRC=${expected_rc}
                     "-DEXPECT=${expected_output}" "-DARGS=${ARGN}"
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/regions_check.cmake)
endfunction()
regions_cli_test(summary 0 "divisions: 24\npolygons: 2\npoints: 30\n"
                 ${regions_data}/circle_in_square.txt)
regions_cli_test(divisions 0 "divisions: 3\npolygons: 2\npoints: 9\n"
                 --divisions 3 ${regions_data}/circle_in_square.txt)
regions_cli_test(divisions_below_range 0 "divisions: 3\n" --divisions 2 ${regions_data}/triangle.txt)
regions_cli_test(divisions_above_range 0 "divisions: 3600\npolygons: 2\npoints: 3606\n"
                 --divisions=5000 ${regions_data}/circle_in_square.txt)
regions_cli_test(divisions_not_a_number 0 "divisions: 3\n" --divisions abc ${regions_data}/triangle.txt)
regions_cli_test(json_empty 0 "^{\"polygons\":\\[\\],\"openEnds\":\\[\\]}\n$" --json ${regions_data}/two_lines.txt)
regions_cli_test(json_triangle 0 "^{\"polygons\":\\[\\[\\[0.0,0.0\\],\\[10.0,0.0\\],\\[0.0,10.0\\],\\[0.0,0.0\\]\\]\\],\"openEnds\":\\[\\]}"
                 --json ${regions_data}/triangle.txt)
regions_cli_test(missing_file 2 "no such file" ${regions_data}/none.txt)
regions_cli_test(folder 2 "not a regular file" --json ${regions_data})
regions_cli_test(no_file 2 "no FILE given" --json)
regions_cli_test(two_files 2 "one FILE only" ${regions_data}/triangle.txt ${regions_data}/triangle.txt)
regions_cli_test(divisions_without_value 2 "needs a value" ${regions_data}/triangle.txt --divisions)
regions_cli_test(bad_option 2 "unknown option" --jsn ${regions_data}/triangle.txt)
regions_cli_test(faces_summary 0 "mode: faces\ngap: 0.01\nislands: normal\nfaces: 11\nfilled: 11\nopen ends: 4\njoins: 1\n"
                 --mode faces --gap 0.01 ${regions_data}/crossing_grid.txt)
regions_cli_test(faces_json_triangle 0
                 "^{\"faces\":\\[{\"outer\":\\[\\[0.0,0.0\\],\\[10.0,0.0\\],\\[0.0,10.0\\],\\[0.0,0.0\\]\\],\"holes\":\\[\\],\"depth\":0,\"filled\":true}\\],\"openEnds\":\\[\\],\"joins\":\\[\\]}\n$"
                 --mode=faces --json ${regions_data}/triangle.txt)
regions_cli_test(bad_mode 2 "bad --mode 'loops'" --mode loops ${regions_data}/triangle.txt)
regions_cli_test(negative_gap 2 "bad --gap '-1'" --mode faces --gap -1 ${regions_data}/triangle.txt)
regions_cli_test(nan_gap 2 "bad --gap 'nan'" --mode faces --gap nan ${regions_data}/triangle.txt)
regions_cli_test(bad_islands 2 "bad --islands" --mode faces --islands all ${regions_data}/triangle.txt)
regions_cli_test(bad_pick 2 "bad --pick '1,'" --mode faces --pick 1, ${regions_data}/triangle.txt)
regions_cli_test(faces_options_in_chain_mode 2 "need --mode faces" --gap 1 ${regions_data}/triangle.txt)
# One grammar: every option as --name value or --name=value, every number one syntax.
regions_cli_test(both_option_forms 0 "divisions: 5\nmode: faces\ngap: 10\nislands: outer\n"
                 --mode=faces --gap=1e1 --islands outer --divisions=5 ${regions_data}/triangle.txt)
regions_cli_test(hex_gap 2 "bad --gap '0x1'" --mode faces --gap=0x1 ${regions_data}/triangle.txt)
regions_cli_test(flag_with_value 2 "--json takes no value" --json=yes ${regions_data}/triangle.txt)
