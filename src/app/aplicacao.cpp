#include "aplicacao.h"

#include <pthread.h>
#include <QDir>
#include <QPointer>
#include <QStyleFactory>
#include <csignal>
#include <thread>

#include "UPrincipal.h"
#include "data/conexao.h"
#include "data/schema.h"
#include "kit/core/messages.h"
#include "kit/db/dataset.h"
#include "kit/ui/dialogmessages.h"

TesourariaApplication::TesourariaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("qxTALOR"));
    setApplicationDisplayName(QStringLiteral("qxTALOR"));
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
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

// The termination signals are blocked in every thread (BloqueiaSinaisDeTermino runs
// first thing, so the threads of Qt and of the database engine inherit the mask):
// one delivered to an engine thread leaves the engine unable to detach. This thread
// alone takes them and asks the event loop to end, so the program closes its
// connection and exits.
void handleTerminationSignals() {
    std::thread([] {
        const sigset_t set = terminationSignals();
        int signal = 0;
        while (sigwait(&set, &signal) == 0)
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    }).detach();
}

}  // namespace

int ExecutaPrograma(TesourariaApplication& app,
                    const std::function<void(TFrmPrincipal&)>& registraTelas) {
    handleTerminationSignals();
    kit::setMessageService(std::make_unique<kit::DialogMessageService>());
    const QString ini =
        QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(data::kConfigFileName));
    const data::ConnectionConfig config = data::readConnectionConfig(ini);
    if (!config.ok()) {
        kit::messages().error(config.error);
        return 1;
    }
    kit::Database db(config.params);
    try {
        db.open();
        data::upgradeSchema(db.connection());
    } catch (const fb::Error& e) {
        kit::messages().error(data::describeConnectionError(config.params.database, e));
        return 1;
    } catch (const data::SchemaError& e) {
        kit::messages().error(e.message());
        return 1;
    }
    QPointer<TFrmPrincipal> main = new TFrmPrincipal(db);
    main->setAttribute(Qt::WA_DeleteOnClose);
    if (registraTelas)
        registraTelas(*main);
    // Until the login exists, the program works as the first master user.
    {
        kit::DataSet usuario(&db);
        usuario.setSql(
            QStringLiteral("SELECT FIRST 1 CDUSUARIO, NOME, ALTERAEMP_LICITACAO FROM USUARIO "
                           "WHERE MARTER = 'S' AND HABILITADO = 'S' ORDER BY CDUSUARIO"));
        usuario.open();
        if (!usuario.isEmpty()) {
            Contexto::Usuario& atual = main->contexto().usuario;
            atual.codigo = usuario.value(QStringLiteral("CDUSUARIO")).toInt();
            atual.nome = usuario.text(QStringLiteral("NOME"));
            atual.alteraEmpLicitacao = usuario.text(QStringLiteral("ALTERAEMP_LICITACAO"));
            main->MostraUsuarioLogado();
        }
    }
    main->showMaximized();
    const int status = app.exec();
    delete main.data();  // its data sets go before the connection
    return status;
}
