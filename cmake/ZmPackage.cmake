# The Debian package, made by scripts/package with CPack: a Release build
# installed under /usr with the programs in /usr/games. Library dependencies
# are worked out from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zultmirax)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZM_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The first line, the summary, is put in front by CPack.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Sixty aliens march sideways across the screen, stepping down at each edge\n\
and dropping bombs. Slide a cannon along the floor, fire one shot at a\n\
time, hide behind four crumbling shields and hit the mystery ship that\n\
crosses the top now and then. Plays in a crisp 960x720 window or\n\
fullscreen, with the keyboard or a joystick. MIT licence.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZM_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL 1.2's symbols name classic SDL first, which cannot scale the window:
# apt must pick the compatibility layer (the crisp 960x720 window and
# fullscreen), classic SDL staying the alternative. dpkg-shlibdeps reads
# debian/shlibs.local before any symbols file; it is written into CPack's
# staging directory before the package is made.
set(CPACK_ZM_SDL_DEPENDS "libsdl1.2-compat-shim (>= 1.2.60) | libsdl1.2debian (>= 1.2.15)")
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/ZmShlibsLocal.cmake)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
option(ZM_DEB "Install what only the Debian package carries" OFF)
if(ZM_DEB)
  install(FILES ${PROJECT_SOURCE_DIR}/data/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME zultmirax)
endif()
include(CPack)
