# How long the window's interface thread is blocked while the faces preview of a
# 100,000-line drawing is built, against the same build headless (what the window
# used to block for). Offscreen or under xvfb-run.
add_executable(veldra_window_preview_bench ${CMAKE_CURRENT_LIST_DIR}/window_preview_bench.cpp)
target_link_libraries(veldra_window_preview_bench PRIVATE veldra_app benchmark::benchmark)
veldra_target_defaults(veldra_window_preview_bench)
