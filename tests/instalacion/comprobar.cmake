file(REMOVE_RECURSE ${DESTINO})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARIOS} --prefix ${DESTINO}
                RESULT_VARIABLE r OUTPUT_QUIET)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${r}")
endif()
foreach(f lib/quelo-instalador/quelo-instalador lib/quelo-instalador/Resources/catalogo.json
          lib/quelo-instalador/Resources/Logo.png lib/quelo-instalador/Resources/qtbase_es.qm
          share/applications/quelo-instalador.desktop
          share/pixmaps/quelo-instalador.png)
  if(NOT EXISTS ${DESTINO}/${f})
    message(FATAL_ERROR "missing after install: ${f}")
  endif()
endforeach()
if(NOT IS_SYMLINK ${DESTINO}/bin/quelo-instalador)
  message(FATAL_ERROR "bin/quelo-instalador is not a link to the bundle folder")
endif()
file(REAL_PATH ${DESTINO}/bin/quelo-instalador destino)
file(REAL_PATH ${DESTINO}/lib/quelo-instalador/quelo-instalador esperado)
if(NOT destino STREQUAL esperado)
  message(FATAL_ERROR "bin/quelo-instalador points to ${destino}")
endif()
# Started through the link, the application looks for Resources/ beside the real executable.
get_filename_component(carpeta ${destino} DIRECTORY)
if(NOT EXISTS ${carpeta}/Resources/catalogo.json)
  message(FATAL_ERROR "the executable's folder has no Resources/catalogo.json")
endif()
file(REMOVE_RECURSE ${DESTINO})
