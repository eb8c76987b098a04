# Hard-float 32-bit ARM (Debian armhf).
set(CMAKE_SYSTEM_PROCESSOR arm)
set(ZM_CROSS_TRIPLET arm-linux-gnueabihf)
set(ZM_CROSS_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
