# The Windows programs' last touches: the game is a windowed program (no
# console), the runner a console one, and both carry the icon and version
# in their resources. scripts/windows puts them in the zip.
set(ZM_WINDOWS_ICON "" CACHE FILEPATH "The .ico for the programs' resources (zultmirax-icons --ico)")
if(NOT EXISTS "${ZM_WINDOWS_ICON}")
  message(FATAL_ERROR "ZM_WINDOWS_ICON must name the .ico that scripts/windows writes with zultmirax-icons --ico")
endif()
enable_language(RC)

function(zm_windows_resources target description)
  set(ZM_RC_NAME ${target})
  set(ZM_RC_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/data/windows/zultmirax.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${ZM_WINDOWS_ICON})
endfunction()

set_target_properties(zultmirax PROPERTIES WIN32_EXECUTABLE ON)
zm_windows_resources(zultmirax "ZULT-MIRAX, the game")
zm_windows_resources(zultmirax-replay "ZULT-MIRAX replay runner")
