# Cross-building the core, its tests and the Linux edition for 64-bit ARM (arm64:
# Raspberry Pi OS 64-bit, Debian on ARM boards and laptops). Tests run under qemu.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(SORVEL_ARCH arm64)
set(SORVEL_TRIPLET aarch64-linux-gnu)
set(SORVEL_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
