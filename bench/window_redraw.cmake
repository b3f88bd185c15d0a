# The window's redraw against the headless redraw of the same drawing. Run it on
# the platform to measure, for example under xvfb-run (QT_QPA_PLATFORM=xcb).
add_executable(veldra_window_redraw_bench ${CMAKE_CURRENT_LIST_DIR}/window_redraw_bench.cpp)
target_link_libraries(veldra_window_redraw_bench PRIVATE veldra_app benchmark::benchmark)
veldra_target_defaults(veldra_window_redraw_bench)
