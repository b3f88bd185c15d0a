# Redraw benchmark: a full redraw of many entities on a full-HD canvas.
add_executable(veldra_render_bench ${CMAKE_CURRENT_LIST_DIR}/render_bench.cpp)
target_link_libraries(veldra_render_bench PRIVATE veldra_draw benchmark::benchmark)
veldra_target_defaults(veldra_render_bench)
