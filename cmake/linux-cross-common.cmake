# What the Linux cross toolchains share: Debian's cross compilers for SORVEL_TRIPLET, the
# sysroot that scripts/sysroot makes for SORVEL_ARCH (its GTK, GoogleTest and C
# library), and qemu in user mode, given that sysroot, to run what is built. Included
# by the toolchain files.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${SORVEL_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${SORVEL_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${SORVEL_TRIPLET})

set(SORVEL_SYSROOT ${CMAKE_CURRENT_LIST_DIR}/../build/sysroot-${SORVEL_ARCH}/root
    CACHE PATH "The ${SORVEL_ARCH} sysroot (scripts/sysroot ${SORVEL_ARCH} makes it)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SORVEL_SYSROOT)
if(NOT EXISTS ${SORVEL_SYSROOT}/usr/include)
    message(FATAL_ERROR "No ${SORVEL_ARCH} sysroot in ${SORVEL_SYSROOT}: run scripts/sysroot ${SORVEL_ARCH}")
endif()
get_filename_component(SORVEL_SYSROOT ${SORVEL_SYSROOT} REALPATH)
set(CMAKE_SYSROOT ${SORVEL_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees the sysroot alone: otherwise it takes this machine's GTK without a
# word, and graphene's .pc adds x86 flags (-msse2) that the cross compiler rejects.
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_LIBDIR}
    ${SORVEL_SYSROOT}/usr/lib/${SORVEL_TRIPLET}/pkgconfig:${SORVEL_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${SORVEL_SYSROOT})

# Test programs (and anything else CMake runs) go through qemu, named: no binfmt handler.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/qemu-run;${SORVEL_QEMU};${SORVEL_SYSROOT})
