# The Windows build (scripts/windows configures it with cmake/windows.cmake).
# Classic SDL 1.2, built by scripts/windows into ZM_WINDOWS_SDL, stands in
# under the same target name as the desktop's: SDL.dll goes beside the
# programs, everything else (the C++ runtime, winpthread) is linked in, so
# the zip needs nothing from outside but Windows' own DLLs.
set(ZM_WINDOWS_SDL "" CACHE PATH "Prefix of SDL 1.2 built for Windows (include/SDL, lib/libSDL.dll.a, bin/SDL.dll)")
if(NOT EXISTS "${ZM_WINDOWS_SDL}/lib/libSDL.dll.a")
  message(FATAL_ERROR "ZM_WINDOWS_SDL must name the prefix scripts/windows builds SDL 1.2 into")
endif()
add_library(PkgConfig::SDL INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL INTERFACE ${ZM_WINDOWS_SDL}/include/SDL)
target_link_libraries(PkgConfig::SDL INTERFACE ${ZM_WINDOWS_SDL}/lib/libSDL.dll.a)
add_link_options(-static -static-libgcc -static-libstdc++)
