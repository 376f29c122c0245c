#pragma once

#include <QString>

// Equality under Unicode canonical equivalence (ids, categories, e-mails).
inline QString nfc(const QString& s) {
    return s.normalized(QString::NormalizationForm_C);
}
inline bool mismoTexto(const QString& a, const QString& b) {
    return a == b || nfc(a) == nfc(b);
}

// The form compared by the case-insensitive, accent-sensitive search: NFC, then case-folded, so
// that an exact substring test on folded texts matches ignoring case.
inline QString plegado(const QString& s) {
    return nfc(s).toCaseFolded();
}

// Number of user-perceived characters (grapheme clusters).
qsizetype caracteres(const QString& s);

// The last non-empty component of a relative path: "a/b.vst3/" gives "b.vst3".
QString ultimoComponente(const QString& ruta);

// A path with one more component appended, without doubling "/".
QString unir(const QString& carpeta, const QString& componente);
