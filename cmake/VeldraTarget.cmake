# One place for the flags every target gets: warnings (errors with VELDRA_WERROR, on in
# the default and asan presets) and the allocator of every executable. The sanitizers
# are set for the whole tree in CMakeLists.txt.
# Clang (the fuzz build) has no -Wshadow=local.
function(veldra_target_defaults target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                                             $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
    if(VELDRA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE" AND VELDRA_JEMALLOC_LIBRARY)
        # No reference to it in our code: keep the linker from dropping it.
        target_link_libraries(${target} PRIVATE -Wl,--push-state,--no-as-needed
                                                ${VELDRA_JEMALLOC_LIBRARY} -Wl,--pop-state)
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/common/jemalloc_options.cpp)
    endif()
endfunction()
