# What every target of the project's own gets (not GoogleTest's or Google Benchmark's):
# our warnings, and for a Windows executable its link options. Applied once the whole
# project is configured, so that no target, wherever it is defined, goes without.
include(${CMAKE_CURRENT_LIST_DIR}/Warnings.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/WindowsExecutable.cmake)

# Every compiled target in DIR and below, except in third-party directories.
function(_sorvel_own_targets dir)
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
        if(type STREQUAL "EXECUTABLE")
            sorvel_windows_executable(${target})
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        _sorvel_own_targets(${subdir})
    endforeach()
endfunction()

cmake_language(DEFER CALL _sorvel_own_targets ${CMAKE_CURRENT_SOURCE_DIR})
