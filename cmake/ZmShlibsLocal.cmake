# Run by CPack before it makes the .deb: the dependency that SDL 1.2's
# soname gives, in dpkg-shlibdeps's local override file. The value is set in
# ZmPackage.cmake; CPack hands on only variables named CPACK_*.
file(WRITE "${CPACK_TEMPORARY_DIRECTORY}/debian/shlibs.local" "libSDL-1.2 0 ${CPACK_ZM_SDL_DEPENDS}\n")
