#include "aplicacao.h"

#include <QDir>
#include <QStyleFactory>

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

int ExecutaPrograma(TesourariaApplication& app) {
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
    int status = 0;
    {
        auto* main = new TFrmPrincipal(db);
        main->setAttribute(Qt::WA_DeleteOnClose);
        // Until the login exists, the program works as the first master user.
        kit::DataSet usuario(&db);
        usuario.setSql(
            QStringLiteral("SELECT FIRST 1 CDUSUARIO, NOME, ALTERAEMP_LICITACAO FROM USUARIO "
                           "WHERE MARTER = 'S' AND HABILITADO = 'S' ORDER BY CDUSUARIO"));
        usuario.open();
        if (!usuario.isEmpty()) {
            CdUsuarioAtual = usuario.value(QStringLiteral("CDUSUARIO")).toInt();
            NomeUsuarioAtual = usuario.text(QStringLiteral("NOME"));
            AlteraEmpLicitacao = usuario.text(QStringLiteral("ALTERAEMP_LICITACAO"));
            main->MostraUsuarioLogado();
        }
        main->showMaximized();
        status = app.exec();
    }
    return status;
}
