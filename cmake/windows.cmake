# 64-bit Windows with Debian's mingw-w64 cross compiler (the POSIX thread
# model: the runner's recorder uses std::thread). scripts/windows builds the
# SDL it links and names its prefix in ZM_WINDOWS_SDL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZM_CROSS_TRIPLET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER ${ZM_CROSS_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZM_CROSS_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZM_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
