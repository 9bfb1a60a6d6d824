# What both Windows toolchains share: 64-bit Windows on MinGW-w64's sysroot, GNU windres,
# and Wine to run what is built. Included by the toolchain files. (The static C++ runtime
# is the project's own link option, in WindowsExecutable.cmake.)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# GNU windres honours the resource scripts' #pragma code_page(65001), so the Japanese
# texts stay exact (llvm-windres 14 ignores it).
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs (and anything else CMake runs) go through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run")
