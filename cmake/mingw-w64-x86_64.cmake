# Cross-building for 64-bit Windows with MinGW-w64's GCC on Debian. Tests run under Wine.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The posix-thread compilers: GoogleTest needs std::mutex, which the win32-thread ones lack.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
