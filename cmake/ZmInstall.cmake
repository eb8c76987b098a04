# What a desktop needs beside the programs: the menu entry, the AppStream
# metainfo, the manual pages, the README, the licence and the changelog. The
# programs and the icons are installed by their own folders. Paths follow
# GNUInstallDirs, so any --prefix and DESTDIR work; the .deb sets
# CMAKE_INSTALL_BINDIR=games.
set(ZM_DATA ${PROJECT_SOURCE_DIR}/data)
set(ZM_GEN ${PROJECT_BINARY_DIR}/data)
set(ZM_LAUNCHER zultmirax-launcher)

foreach(in zultmirax.desktop.in zultmirax.metainfo.xml.in)
  string(REPLACE "zultmirax." "${ZM_APP_ID}." out ${in})
  string(REPLACE ".in" "" out ${out})
  configure_file(${ZM_DATA}/${in} ${ZM_GEN}/${out} @ONLY)
endforeach()
configure_file(${ZM_DATA}/copyright ${ZM_GEN}/copyright @ONLY)

# Manual pages and the changelog go in compressed, as Debian wants them;
# man reads them as they are.
foreach(name zultmirax.6 zultmirax-replay.6 changelog)
  configure_file(${ZM_DATA}/${name} ${ZM_GEN}/${name} @ONLY)
  execute_process(COMMAND gzip -9n -c ${ZM_GEN}/${name} OUTPUT_FILE ${ZM_GEN}/${name}.gz RESULT_VARIABLE gzipped)
  if(NOT gzipped EQUAL 0)
    message(FATAL_ERROR "gzip ${name}: ${gzipped}")
  endif()
endforeach()
# The launcher shares the game's page.
file(CREATE_LINK zultmirax.6.gz ${ZM_GEN}/${ZM_LAUNCHER}.6.gz SYMBOLIC)

install(FILES ${ZM_GEN}/${ZM_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZM_GEN}/${ZM_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ZM_GEN}/zultmirax.6.gz ${ZM_GEN}/zultmirax-replay.6.gz ${ZM_GEN}/${ZM_LAUNCHER}.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE ${ZM_GEN}/copyright
              ${ZM_GEN}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
