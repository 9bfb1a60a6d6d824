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

# Every compiled target in DIR and below, except in third-party directories.
function(_sorvel_warnings_for_tree dir)
    get_property(third_party DIRECTORY ${dir} PROPERTY SORVEL_THIRD_PARTY)
    if(third_party)
        return()
    endif()
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
            sorvel_warnings(${target})
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        _sorvel_warnings_for_tree(${subdir})
    endforeach()
endfunction()

# Once the whole project is configured, so that no target of ours, wherever it is
# defined, goes without.
cmake_language(DEFER CALL _sorvel_warnings_for_tree ${CMAKE_CURRENT_SOURCE_DIR})
