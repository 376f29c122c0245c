#include "datos.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTextBoundaryFinder>

namespace {

// Past this a data file is not read: the folder is edited by hand and trusted to be small.
constexpr qint64 tamanoMaximo = 64 << 20;

// The whole content, or nothing when the file cannot be opened or is over the limit.
std::optional<QByteArray> leerAcotado(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray contenido = f.read(tamanoMaximo + 1);
    if (contenido.size() > tamanoMaximo) return std::nullopt;
    return contenido;
}

// A missing, oversized or undecodable file reads as an empty object: the store starts with no
// data.
QJsonObject leerObjeto(const QString& ruta) {
    return QJsonDocument::fromJson(leerAcotado(ruta).value_or(QByteArray())).object();
}

} // namespace

QString correoNormalizado(const QString& email) {
    return email.trimmed().toLower();
}

bool correoValido(const QString& email) {
    const QString n = correoNormalizado(email);
    const qsizetype arroba = n.indexOf(QLatin1Char('@'));
    if (arroba <= 0 || !n.mid(arroba + 1).contains(QLatin1Char('.'))) return false;
    return !n.contains(QLatin1Char(' ')) && letras(n) <= 200;
}

qsizetype letras(const QString& texto) {
    QTextBoundaryFinder limites(QTextBoundaryFinder::Grapheme, texto);
    qsizetype cuantas = 0;
    while (limites.toNextBoundary() > 0)
        ++cuantas;
    return cuantas;
}

QString resumen(const QString& email, const QString& password, const QByteArray& salt) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(salt);
    h.addData(QString(correoNormalizado(email) + QChar(0) + password).toUtf8());
    return QString::fromLatin1(h.result().toBase64());
}

DatosTienda::DatosTienda(const QString& carpeta) : carpeta_(QDir(carpeta).absolutePath()) {}

std::optional<DatosTienda::Cuenta> DatosTienda::cuenta(const QString& email) const {
    const QString buscado = correoNormalizado(email);
    const QJsonArray cuentas =
        leerObjeto(ruta(QStringLiteral("cuentas.json"))).value(QLatin1String("cuentas")).toArray();
    for (const QJsonValue& v : cuentas) {
        const QJsonObject o = v.toObject();
        const QString guardado = o.value(QLatin1String("email")).toString();
        if (!guardado.isEmpty() && correoNormalizado(guardado) == buscado)
            return Cuenta{guardado, o.value(QLatin1String("salt")).toString(),
                          o.value(QLatin1String("passHash")).toString()};
    }
    return std::nullopt;
}

bool DatosTienda::crearCuenta(const QString& email, const QString& password, QString* error) const {
    QByteArray salt(16, Qt::Uninitialized);
    for (char& c : salt)
        c = char(QRandomGenerator::system()->generate64() & 0xff);

    const QString archivo = ruta(QStringLiteral("cuentas.json"));
    QJsonObject libro;
    if (QFile::exists(archivo)) {
        // Never write over a book that exists but does not read: its accounts would be lost.
        const std::optional<QByteArray> contenido = leerAcotado(archivo);
        const QJsonDocument doc = contenido ? QJsonDocument::fromJson(*contenido) : QJsonDocument();
        libro = doc.object();
        if (!doc.isObject() || !libro.value(QLatin1String("cuentas")).isArray()) {
            *error = QStringLiteral("cuentas.json cannot be read");
            return false;
        }
    }
    QJsonArray cuentas = libro.value(QLatin1String("cuentas")).toArray();
    cuentas.append(QJsonObject{
        {QStringLiteral("createdAt"),
         QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"))},
        {QStringLiteral("email"), email.trimmed()},
        {QStringLiteral("passHash"), resumen(email, password, salt)},
        {QStringLiteral("proveedor"), QStringLiteral("tienda")},
        {QStringLiteral("salt"), QString::fromLatin1(salt.toBase64())},
    });
    libro.insert(QStringLiteral("cuentas"), cuentas);

    QDir().mkpath(carpeta_);
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(libro).toJson()) < 0 ||
        !f.commit()) {
        *error = f.errorString();
        return false;
    }
    return true;
}

QStringList DatosTienda::compras(const QString& email) const {
    const QString buscado = correoNormalizado(email);
    const QJsonObject todas = leerObjeto(ruta(QStringLiteral("compras.json")));
    QStringList ids;
    for (auto it = todas.begin(); it != todas.end(); ++it) {
        if (correoNormalizado(it.key()) != buscado) continue;
        for (const QJsonValue& v : it.value().toArray())
            if (v.isString() && !v.toString().isEmpty()) ids.append(v.toString());
    }
    return ids;
}

QString DatosTienda::nombre(const QString& id) const {
    const QJsonArray plugins =
        leerObjeto(ruta(QStringLiteral("catalogo.json"))).value(QLatin1String("plugins")).toArray();
    for (const QJsonValue& v : plugins) {
        const QJsonObject p = v.toObject();
        const QJsonValue nombre = p.value(QLatin1String("name"));
        if (p.value(QLatin1String("id")).toString().compare(id, Qt::CaseInsensitive) == 0 &&
            nombre.isString())
            return nombre.toString();
    }
    return id;
}

QString DatosTienda::carpetaPaquete(const QString& id) const {
    // Matched against the folder's listing, never joined into a path, so an id cannot climb out.
    const QDir paquetes(carpeta_ + QStringLiteral("/paquetes"));
    const QStringList carpetas =
        paquetes.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString& c : carpetas)
        if (c.compare(id, Qt::CaseInsensitive) == 0) return paquetes.filePath(c);
    return {};
}
