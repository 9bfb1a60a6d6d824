# Cross-building for 64-bit Windows with clang on MinGW-w64's sysroot, with the C++
# library and runtime of MinGW-w64's posix-thread GCC, linked by lld. Tests run under Wine.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)
# Without a sysroot clang also searches the host's /usr/include and /usr/lib.
set(CMAKE_SYSROOT /usr/x86_64-w64-mingw32)

# GCC's folder (Debian's .../12-posix), asked of the posix-thread g++ itself: clang does
# not recognise a folder name with a suffix as a GCC installation.
execute_process(COMMAND x86_64-w64-mingw32-g++-posix -print-libgcc-file-name
    OUTPUT_VARIABLE sorvel_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(sorvel_gcc_dir "${sorvel_libgcc}" DIRECTORY)

# libstdc++'s headers. Here, not in the flags, so that a user's CMAKE_CXX_FLAGS keeps them.
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${sorvel_gcc_dir}/include/c++
    ${sorvel_gcc_dir}/include/c++/x86_64-w64-mingw32
    ${sorvel_gcc_dir}/include/c++/backward)

# lld; GCC's start-up objects, libgcc, libstdc++ and the posix thread library.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -fuse-ld=lld -B${sorvel_gcc_dir} -L${sorvel_gcc_dir} -pthread")
