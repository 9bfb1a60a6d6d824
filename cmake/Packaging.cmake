# The Windows release packages, made by CPack from the windows build (scripts/package
# runs it): a zip to unpack and run, and a 64-bit installer made with NSIS. The Debian
# package is put together by packaging/deb/build-deb.sh from the same Sorvel.exe.
if(NOT WIN32)
    return()
endif()

install(TARGETS Sorvel RUNTIME DESTINATION .)
install(FILES README.md DESTINATION .)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
# cpack only installs: it does not build everything (tests included) first.
# scripts/package builds the Sorvel target before it.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Sorvel)
set(CPACK_PACKAGE_VENDOR Sorvel)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A sheet of springs to poke, in perspective")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})  # all four parts; CPack keeps three
set(CPACK_PACKAGE_FILE_NAME Sorvel-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Sorvel)  # not "Sorvel 1.0.0.1"
set(CPACK_PACKAGE_EXECUTABLES Sorvel Sorvel)  # the Start-menu shortcut
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Per-generator settings (the installer's name, NSIS script code) and the files' times.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackOptions.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageTimes.cmake)

set(CPACK_NSIS_PACKAGE_NAME Sorvel)
set(CPACK_NSIS_DISPLAY_NAME Sorvel)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)  # not bin, where Sorvel.exe is not
set(CPACK_NSIS_INSTALLED_ICON_NAME Sorvel.exe)
set(CPACK_NSIS_MUI_ICON ${SORVEL_ICON})
set(CPACK_NSIS_MUI_UNIICON ${SORVEL_ICON})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)

include(CPack)
