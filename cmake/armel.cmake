# Soft-float 32-bit ARM (Debian armel).
set(CMAKE_SYSTEM_PROCESSOR arm)
set(ZM_CROSS_TRIPLET arm-linux-gnueabi)
set(ZM_CROSS_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
