# The drawing's texts in the window's redraw, on against off. Offscreen or under xvfb-run.
add_executable(veldra_window_texts_bench ${CMAKE_CURRENT_LIST_DIR}/window_texts_bench.cpp)
target_link_libraries(veldra_window_texts_bench PRIVATE veldra_app benchmark::benchmark)
veldra_target_defaults(veldra_window_texts_bench)
