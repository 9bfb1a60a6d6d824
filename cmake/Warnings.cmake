# Warnings as errors for the project's own code on GCC and clang, native and for Windows
# (MSVC, which nothing here builds with, gets its usual /W4 only).
# Third-party code built in the tree (GoogleTest, Google Benchmark) keeps its own
# warnings, and its headers count as system headers in ours.

# Our warnings on one target.
function(sorvel_warnings target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        set(flags -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Werror)
    elseif(MSVC)
        set(flags /W4)
    endif()
    # C++ only: not for the resource compiler.
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${flags}>")
endfunction()

# add_subdirectory for third-party sources: built only as far as our targets need them,
# exempt from our warnings, their include directories system ones for their users.
function(sorvel_add_third_party source binary)
    add_subdirectory(${source} ${binary} EXCLUDE_FROM_ALL)
    set_property(DIRECTORY ${source} PROPERTY SORVEL_THIRD_PARTY TRUE)
    _sorvel_system_includes(${source})
endfunction()

function(_sorvel_system_includes dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(includes ${target} INTERFACE_INCLUDE_DIRECTORIES)
        if(includes)
            set_property(TARGET ${target} APPEND PROPERTY INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${includes})
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        _sorvel_system_includes(${subdir})
    endforeach()
endfunction()
