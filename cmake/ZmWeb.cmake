# The browser build (scripts/web configures it with Emscripten's toolchain).
# Emscripten's SDL 1.2 is part of its runtime: it stands in for the
# desktop's under the same target name. Where it lacks a call or does one
# differently, platform/web/ supplies the calls (sdl_web.js replaces those
# of the same name) and the variant files.
add_library(PkgConfig::SDL INTERFACE IMPORTED)
set(ZM_SDL_WEB_JS ${PROJECT_SOURCE_DIR}/platform/web/sdl_web.js)
target_include_directories(PkgConfig::SDL INTERFACE ${PROJECT_SOURCE_DIR}/platform/web/include
                                                    ${EMSCRIPTEN_SYSROOT}/include/SDL)
target_link_options(PkgConfig::SDL INTERFACE "SHELL:--js-library ${ZM_SDL_WEB_JS}")

# Every browser program's memory grows when it must (a long script).
set(ZM_WEB_LINK -sALLOW_MEMORY_GROWTH=1)

# The replay runner as a node program with the desktop's command line:
# files through node's own file system, the exit status as the process's,
# and the few page objects SDL asks for stubbed (web/runner_node.js).
function(zm_web_runner target)
  set(pre ${PROJECT_SOURCE_DIR}/web/runner_node.js)
  target_link_options(${target} PRIVATE ${ZM_WEB_LINK} -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
                      "SHELL:--pre-js ${pre}")
  set_target_properties(${target} PROPERTIES SUFFIX .js LINK_DEPENDS "${pre};${ZM_SDL_WEB_JS}")
endfunction()
