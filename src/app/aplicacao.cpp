#include "aplicacao.h"

#include <pthread.h>
#include <QDialog>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QStyleFactory>
#include <QTranslator>
#include <atomic>
#include <csignal>
#include <mutex>
#include <thread>

#include "UPrincipal.h"
#include "data/conexao.h"
#include "data/schema.h"
#include "kit/core/messages.h"
#include "kit/db/dataset.h"
#include "kit/report/fonts.h"

TesourariaApplication::TesourariaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("qxTALOR"));
    setApplicationDisplayName(QStringLiteral("qxTALOR"));
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Qt's own texts (a frame's window menu, standard dialogs) in Portuguese.
    auto* qt = new QTranslator(this);
    if (qt->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qt);
    // The families the screens and the printed layouts name, the same on every workstation.
    kit::report::installFonts();
}

bool TesourariaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const fb::Error& e) {
        kit::messages().error(TextoErroGeral(e.message()));
    } catch (const kit::DataSetError& e) {
        kit::messages().error(TextoErroGeral(e.message()));
    } catch (const data::SchemaError& e) {
        kit::messages().error(TextoErroGeral(e.message()));
    } catch (const std::exception& e) {
        kit::messages().error(TextoErroGeral(QString::fromLocal8Bit(e.what())));
    }
    return false;
}

namespace {

sigset_t terminationSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

void BloqueiaSinaisDeTermino() {
    const sigset_t set = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

namespace {

std::atomic<int> terminationSignal{0};

// Ends every event loop that runs (the main one and any modal box's, a start-up
// error box included) and keeps later ones from starting: the code after each box
// sees SinalDeTermino() and winds down, the connection is closed and the program
// exits.
void endAllLoops() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            dialog->reject();
    QCoreApplication::exit(128 + terminationSignal.load());
}

// The termination signals are blocked in every thread (BloqueiaSinaisDeTermino runs
// first thing, so the threads of Qt and of the database engine inherit the mask):
// one delivered to an engine thread leaves the engine unable to detach. This thread
// alone takes them and hands them to the user-interface thread.
void handleTerminationSignals() {
    static std::once_flag started;
    std::call_once(started, [] {
        std::thread([] {
            const sigset_t set = terminationSignals();
            int signal = 0;
            while (sigwait(&set, &signal) == 0) {
                terminationSignal = signal;
                QMetaObject::invokeMethod(qApp, endAllLoops, Qt::QueuedConnection);
            }
        }).detach();
    });
}

// Shows a start-up error and gives the exit status.
int startUpError(const QString& text) {
    kit::messages().error(text);
    return SinalDeTermino() ? 128 + SinalDeTermino() : 1;
}

constexpr long kNoPermission = 335544352L;

}  // namespace

int SinalDeTermino() {
    return terminationSignal.load();
}

int ExecutaPrograma(TesourariaApplication& app,
                    const std::function<void(TFrmPrincipal&)>& registraTelas,
                    const QString& iniPath) {
    handleTerminationSignals();
    const QString ini = !iniPath.isEmpty() ? iniPath
                                           : QDir(QCoreApplication::applicationDirPath())
                                                 .filePath(QLatin1String(data::kConfigFileName));
    const data::ConnectionConfig config = data::readConnectionConfig(ini);
    if (!config.ok())
        return startUpError(config.error);
    kit::Database db(config.params);
    try {
        db.open();
    } catch (const fb::Error& e) {
        return startUpError(data::describeConnectionError(config.params.database, e));
    }
    try {
        data::upgradeSchema(db.connection());
    } catch (const fb::Error& e) {
        if (e.hasCode(kNoPermission))
            return startUpError(
                QStringLiteral("O banco de dados \"%1\" é de uma versão anterior deste programa "
                               "e precisa ser atualizado, mas o usuário %2 não pode alterar sua "
                               "estrutura.\nPeça ao administrador que rode: tesouraria-admin "
                               "upgrade %1")
                    .arg(config.params.database, config.params.user));
        return startUpError(data::describeDatabaseError(config.params.database, e));
    } catch (const data::SchemaError& e) {
        return startUpError(e.message());
    }
    // Until the login exists, the program works as the first enabled master user;
    // without one it cannot say who posts anything, so it does not start.
    Contexto::Usuario atual;
    {
        kit::DataSet usuario(&db);
        usuario.setSql(
            QStringLiteral("SELECT FIRST 1 CDUSUARIO, NOME, ALTERAEMP_LICITACAO FROM USUARIO "
                           "WHERE MARTER = 'S' AND HABILITADO = 'S' ORDER BY CDUSUARIO"));
        try {
            usuario.open();
        } catch (const fb::Error& e) {
            return startUpError(data::describeDatabaseError(config.params.database, e));
        }
        if (usuario.isEmpty())
            return startUpError(
                QStringLiteral(
                    "O banco de dados \"%1\" não tem nenhum usuário master habilitado "
                    "(tabela USUARIO, MARTER = 'S' e HABILITADO = 'S').\n"
                    "Sem ele o programa não tem em nome de quem gravar, e não abre.\n"
                    "Habilite um usuário master (por exemplo com: tesouraria-admin sql %1) e "
                    "abra o programa de novo.")
                    .arg(config.params.database));
        atual.codigo = usuario.value(QStringLiteral("CDUSUARIO")).toInt();
        atual.nome = usuario.text(QStringLiteral("NOME"));
        atual.alteraEmpLicitacao = usuario.text(QStringLiteral("ALTERAEMP_LICITACAO"));
    }
    if (SinalDeTermino())
        return 128 + SinalDeTermino();
    QPointer<TFrmPrincipal> main = new TFrmPrincipal(db);
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->contexto().usuario = atual;
    if (registraTelas)
        registraTelas(*main);
    main->MostraUsuarioLogado();
    main->showMaximized();
    const int status = SinalDeTermino() ? 128 + SinalDeTermino() : app.exec();
    delete main.data();  // its data sets go before the connection
    return SinalDeTermino() ? 128 + SinalDeTermino() : status;
}
