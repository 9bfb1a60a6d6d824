# sorvel_windows_executable(TARGET...)
#
# What every Windows executable of the project gets, set on the targets themselves so
# that a CMAKE_EXE_LINKER_FLAGS of the user's cannot drop it:
# - the C++ runtime and the thread library are linked in, so the programs need no
#   MinGW DLL at run time (a test checks Sorvel.exe's imports);
# - no link time stamp in the header, so the same sources give the same bytes;
# - Sorvel.exe's application manifest, in the test programs too: Windows gives a
#   program the DPI, the scaling and the common controls that its manifest declares,
#   so a test program without it would see another display than the program does.
function(sorvel_windows_executable)
    if(NOT WIN32)
        return()
    endif()
    foreach(target IN LISTS ARGN)
        if(MINGW)
            target_link_options(${target} PRIVATE -static -Wl,--no-insert-timestamp)
        endif()
        target_sources(${target} PRIVATE ${SORVEL_RESOURCE_DIR}/manifest.rc)
        # The resource compiler does not track the file that the script names.
        set_source_files_properties(${SORVEL_RESOURCE_DIR}/manifest.rc TARGET_DIRECTORY ${target}
            PROPERTIES OBJECT_DEPENDS ${SORVEL_RESOURCE_DIR}/sorvel.manifest)
    endforeach()
endfunction()
