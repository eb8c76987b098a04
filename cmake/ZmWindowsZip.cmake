# The Windows programs' last touches: the game is a windowed program (no
# console), the runner a console one, and both carry the icon, version and
# manifest (DPI-aware, as the invoker) in their resources. scripts/windows
# puts them in the zip.
set(ZM_WINDOWS_ICON "" CACHE FILEPATH "The .ico for the programs' resources (zultmirax-icons --ico)")
if(NOT EXISTS "${ZM_WINDOWS_ICON}")
  message(FATAL_ERROR "ZM_WINDOWS_ICON must name the .ico that scripts/windows writes with zultmirax-icons --ico")
endif()
enable_language(RC)

function(zm_windows_resources target description)
  set(ZM_RC_NAME ${target})
  set(ZM_RC_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set(ZM_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/data/windows/zultmirax.manifest.in ${ZM_RC_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/data/windows/zultmirax.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${ZM_WINDOWS_ICON} ${ZM_RC_MANIFEST})
endfunction()

set_target_properties(zultmirax PROPERTIES WIN32_EXECUTABLE ON)
zm_windows_resources(zultmirax "ZULT-MIRAX, the game")
zm_windows_resources(zultmirax-replay "ZULT-MIRAX replay runner")
