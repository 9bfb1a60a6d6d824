# sorvel_windows_executable(TARGET...)
#
# Link options for every Windows executable of the project, set on the targets
# themselves so that a CMAKE_EXE_LINKER_FLAGS of the user's cannot drop them:
# - the C++ runtime and the thread library are linked in, so the programs need no
#   MinGW DLL at run time (a test checks Sorvel.exe's imports);
# - no link time stamp in the header, so the same sources give the same bytes.
function(sorvel_windows_executable)
    if(NOT MINGW)
        return()
    endif()
    foreach(target IN LISTS ARGN)
        target_link_options(${target} PRIVATE -static -Wl,--no-insert-timestamp)
    endforeach()
endfunction()
