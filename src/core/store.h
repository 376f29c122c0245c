#pragma once

#include "core/cancelacion.h"
#include "core/entorno.h"
#include "core/plugin.h"

#include <QCoro/QCoroTask>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

struct Cuenta;
struct Encargo;
class Turno;

// The one application state and every action. Bound to the thread that created it (the main
// thread); views read its properties, follow its change signals and call its actions.
class Store : public QObject {
    Q_OBJECT
public:
    Store();
    explicit Store(Entorno);

    // published properties: getter, change signal <name>Changed(), setter where views write
    QList<Plugin> plugins() const { return plugins_; }
    QString category() const { return category_; }
    void setCategory(const QString&);
    QString query() const { return query_; }
    void setQuery(const QString&);
    std::optional<QString> selectedID() const { return selectedID_; }
    void setSelectedID(const std::optional<QString>&);
    QString status() const { return status_; }
    void setStatus(const QString&);
    bool busy() const { return busy_; }
    QSet<QString> installed() const { return installed_; }
    std::optional<QString> cuentaEmail() const { return cuentaEmail_; }
    std::optional<QString> tokenCasa() const { return tokenCasa_; }
    // 0..1 while a package downloads and its size is known
    std::optional<double> progreso() const { return progreso_; }
    // While a store run is under way, where it stands: "2 de 5 · 120 MB de 200 MB"; empty
    // otherwise
    QString avance() const { return avance_; }

    // derived: categories and selected recomputed on every read; visible kept until the catalog,
    // the category or the query change, so reading it again copies no list
    QStringList categories() const;
    QList<Plugin> visible() const;
    std::optional<Plugin> selected() const;

    // operations and actions
    void load();
    // What load() does, for the window: returns at once. The saved session is restored first, so
    // that the first frame shows the screen it leads to; the catalog is read, decoded and looked
    // for in the plug-in folders beside the window's thread, with busy set meanwhile. A catalog
    // that cannot be read ends as load() ends then: its message shown, and nobody signed in.
    void cargar();
    std::optional<QString> root() const;
    bool isInstalled(const Plugin&) const;
    void refreshInstalled();
    void install(const Plugin&);
    void installVisible();
    void remove(const Plugin&);
    void crearCuenta(const QString& email, const QString& password, const QString& repeticion);
    void entrar(const QString& email, const QString& password);
    void salir();
    void entrarCasa(const QString& email, const QString& password, bool crear);
    void bajarComprados();
    // Ends the action running through run at its next safe point; nothing when idle.
    void cancelar();

    const Entorno& entorno() const { return entorno_; }

Q_SIGNALS:
    void pluginsChanged();
    void categoryChanged();
    void queryChanged();
    void selectedIDChanged();
    void statusChanged();
    void busyChanged();
    void installedChanged();
    void cuentaEmailChanged();
    void tokenCasaChanged();
    void progresoChanged();
    void avanceChanged();

private:
    friend struct PruebaStore; // tests reach the private steps through it

    // state
    template <typename T, typename V> void cambiar(T& campo, V&& valor, void (Store::*senal)());
    void setBusy(bool);
    void setInstalled(QSet<QString>);
    void setCuentaEmail(const std::optional<QString>&);
    void setTokenCasa(const std::optional<QString>&);
    void setProgreso(std::optional<double>);
    void setAvance(const QString&);

    // Runs an asynchronous action: busy at once, the action posted to the event loop, its
    // error shown as the status, then the installed rescan, and busy cleared last.
    // The factory must return a task of a member coroutine taking its arguments by value:
    // a coroutine lambda with captures would dangle after its first suspension. It is handed
    // the run's cancellation, which cancelar and salir ask. A cancelled action shows the
    // cancelled text, or nothing when salir asked it.
    using Accion = std::function<QCoro::Task<>(Cancelacion)>;
    // What an action reaches. One on the installed bundles can be cancelled and ends with the
    // installed rescan; a sign-in to the store service runs to its end and rescans nothing.
    enum class Alcance { Instalados, Sesion };
    void run(Accion accion, Alcance alcance = Alcance::Instalados);
    static QCoro::Task<> ejecutar(QPointer<Store> store, Accion accion, Cancelacion cancelacion,
                                  Alcance alcance);

    // loading
    // The compared forms of each plug-in (ids and categories in NFC, searched texts folded), so
    // browsing does not normalise on every read
    struct Comparable {
        QString id, category, name, subtitle, purpose;
    };
    struct Lectura;
    static QList<Comparable> comparablesDe(const QList<Plugin>& plugins);
    // Reads, decodes and scans without touching the Store: callable from any thread.
    static Lectura leerCatalogo(const Entorno& entorno);
    void aplicar(Lectura lectura);
    static QCoro::Task<> cargarCatalogo(QPointer<Store> store);

    // install
    // The project folder, or the Failure that asks for the application to be placed in one.
    QString proyecto() const;
    QStringList bundlesEn(const QString& carpeta) const;
    QCoro::Task<> copy(Plugin plugin, Cancelacion cancelacion);
    QCoro::Task<> copyBundle(QString ruta, QString carpeta, std::optional<QString> destino,
                             Cancelacion cancelacion, Turno* antes);
    QCoro::Task<> instalarYAvisar(Plugin plugin, Cancelacion cancelacion);
    QCoro::Task<> instalarLista(QList<Plugin> lista, Cancelacion cancelacion);
    QCoro::Task<> quitar(Plugin plugin, Cancelacion cancelacion);

    // accounts
    QString archivoDatos(const QString& nombre) const;
    bool correoValido(const QString& email) const;
    void escribirCuentas(const QList<Cuenta>& cuentas);
    void abrir(const QString& email, const std::optional<QString>& token);
    // Sign-up's steps: what is wrong with the typed texts, if anything; the new account written
    // to the book (false when its e-mail has one already); a local session opened, or the
    // failure shown as the status.
    std::optional<QString> rechazoDeAlta(const QString& correo, const QString& password,
                                         const QString& repeticion) const;
    bool anotarCuenta(const QString& correo, const QString& password);
    bool abrirLocal(const QString& email);
    void cargarSesion();
    // Sweeps what interrupted writes left beside the session and the accounts book.
    void barrerRestos() const;

    // service
    QUrl servicio() const;
    QCoro::Task<QJsonObject> cuentaCasa(QString action, QString email, QString password);
    QCoro::Task<QUrl> urlDescarga(Cancelacion cancelacion = {});
    QCoro::Task<> bajar(QString token, std::optional<QString> solo, Cancelacion cancelacion = {});
    // Each matched entry of the account's list in turn; how many came.
    QCoro::Task<int> bajarUnoAUno(QList<QPair<QJsonObject, Plugin>> encargos, QUrl descargas,
                                  QString token, Cancelacion cancelacion);
    // `encargo`: what the account's list says of the package, its place in the run, and the
    // run's cancellation (service/encargo.h).
    QCoro::Task<> traer(Plugin plugin, QUrl descargas, QString token, Encargo encargo);
    QCoro::Task<> entrarEnCasa(QString email, QString password, bool crear);

    Entorno entorno_;
    QList<Plugin> plugins_;
    QList<Comparable> comparables_;
    mutable std::optional<QList<Plugin>> visibles_; // none until read after a change
    QString category_ = kTodas;
    QString query_;
    std::optional<QString> selectedID_;
    QString status_;
    bool busy_ = false;
    QSet<QString> installed_;
    std::optional<QString> cuentaEmail_;
    std::optional<QString> tokenCasa_;
    std::optional<double> progreso_;
    QString avance_;
    // One for each action running through run, asked by cancelar and salir.
    QList<Cancelacion> enCurso_;
};
