# Read by cpack once for each generator (CPACK_PROJECT_CONFIG_FILE).
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
    # NSIS makes a 32-bit installer by default, which a 64-bit-only Wine cannot run.
    # Files are stored without their times (one of them, CPack's options page, is
    # written anew each time), so that the same commit gives the same installer.
    # Once the uninstaller has removed Software\Sorvel\Sorvel, it removes the then
    # empty Software\Sorvel too.
    set(CPACK_NSIS_DEFINES "
  Target amd64-unicode
  SetDateSave off

Function un.onUninstSuccess
  DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"
FunctionEnd
")
endif()
