# One place for the flags every target gets: warnings, and the sanitizers when asked.
# Clang (the fuzz build) has no -Wshadow=local.
function(veldra_target_defaults target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                                             $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
    if(VELDRA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
