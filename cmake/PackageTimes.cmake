# Run by cpack on the staged files before it packs them (CPACK_PRE_BUILD_SCRIPTS):
# gives every file the time SOURCE_DATE_EPOCH names (scripts/package takes it from
# the last commit), so that the same commit gives the same zip and installer.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR NOT CMAKE_HOST_UNIX)
    return()
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
if(staged)
    execute_process(COMMAND touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" ${staged} COMMAND_ERROR_IS_FATAL ANY)
endif()
