# Qt's own Spanish texts (network, TLS and process errors, the fields' context menu), copied from
# the Qt installation into the application's resources at build time rather than kept in the
# repository. Debian ships them in qt6-translations-l10n, which scripts/setup installs.
find_file(QUELO_QTBASE_ES qtbase_es.qm
  PATHS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}
  NO_DEFAULT_PATH
  DOC "Qt's Spanish translation file qtbase_es.qm, shipped inside the application")
if(NOT QUELO_QTBASE_ES)
  message(FATAL_ERROR
    "qtbase_es.qm (Qt's Spanish translations) was not found in "
    "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}. On Debian install the package "
    "qt6-translations-l10n (scripts/setup does), or pass -DQUELO_QTBASE_ES=/path/to/qtbase_es.qm.")
endif()
