# cmake --install lays out a working application; CPack wraps it (an archive here, a disk image on
# Apple).
include(GNUInstallDirs)

if(APPLE)
  install(TARGETS quelo-instalador BUNDLE DESTINATION .)
  set(CPACK_GENERATOR DragNDrop)
else()
  # The bundle folder: the executable beside Resources/, as the application expects.
  set(carpeta ${CMAKE_INSTALL_LIBDIR}/quelo-instalador)
  install(TARGETS quelo-instalador RUNTIME DESTINATION ${carpeta})
  install(FILES ${CMAKE_SOURCE_DIR}/resources/catalogo.json ${CMAKE_SOURCE_DIR}/resources/Logo.png
                ${QUELO_QTBASE_ES}
          DESTINATION ${carpeta}/Resources)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${carpeta}/quelo-instalador\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quelo-instalador\" SYMBOLIC)")
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/quelo-instalador.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/Logo.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps RENAME quelo-instalador.png)
  set(CPACK_GENERATOR TGZ)
endif()

set(CPACK_PACKAGE_NAME "QueloInstalador")
set(CPACK_PACKAGE_VENDOR "Quelo DSP")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Instala los plugins de Quelo DSP")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "QueloInstalador-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}")
include(CPack)
