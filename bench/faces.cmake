# Faces mode against the loop search on the same drawings.
add_executable(veldra_faces_bench ${CMAKE_CURRENT_LIST_DIR}/faces_bench.cpp)
target_link_libraries(veldra_faces_bench PRIVATE veldra_core benchmark::benchmark)
veldra_target_defaults(veldra_faces_bench)
set_target_properties(veldra_faces_bench PROPERTIES AUTOMOC OFF)

# One face build per run, for its peak memory under /usr/bin/time -v.
add_executable(veldra_faces_memory ${CMAKE_CURRENT_LIST_DIR}/faces_memory.cpp)
target_link_libraries(veldra_faces_memory PRIVATE veldra_core)
veldra_target_defaults(veldra_faces_memory)
set_target_properties(veldra_faces_memory PROPERTIES AUTOMOC OFF)
