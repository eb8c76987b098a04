# Shared by the per-architecture toolchain files: Debian's cross compiler
# for ZM_CROSS_TRIPLET, the target's libraries from multiarch, and
# qemu-user running the target's programs for the tests.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_CXX_COMPILER ${ZM_CROSS_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${ZM_CROSS_TRIPLET})

# Headers, libraries and CMake packages of the target only; the build's
# own tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZM_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${ZM_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig)

# The target's dynamic loader comes from its multiarch C library, so qemu
# needs no prefix.
find_program(ZM_QEMU ${ZM_CROSS_QEMU} NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZM_QEMU})
