# The build options of every target, applied one target at a time: quelo_opciones(<target>).
# Strings never convert to or from 8-bit text behind the code's back (QStringLiteral,
# QLatin1String or an explicit fromUtf8/toUtf8 say which encoding), Qt's lower-case keywords stay
# free for other libraries, and the warnings that catch real faults are on; with QUELO_WERROR
# they are errors. Narrowing conversions are warned of too, except with SIN_CONVERSION (the
# benchmarks, whose timing arithmetic mixes clock counts and doubles throughout).
function(quelo_opciones objetivo)
  cmake_parse_arguments(PARSE_ARGV 1 opcion "SIN_CONVERSION" "" "")
  target_compile_definitions(${objetivo} PRIVATE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER
    QT_NO_KEYWORDS)
  target_compile_options(${objetivo} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast)
  if(NOT opcion_SIN_CONVERSION)
    target_compile_options(${objetivo} PRIVATE -Wconversion)
  endif()
  if(QUELO_WERROR)
    target_compile_options(${objetivo} PRIVATE -Werror)
  endif()
endfunction()
