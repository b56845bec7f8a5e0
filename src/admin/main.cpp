// tesouraria-admin: creates and checks treasury databases.

#include <QCoreApplication>
#include <QTextStream>

#include "data/conexao.h"
#include "data/criacao.h"
#include "data/schema.h"
#include "data/verificacao.h"

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}
QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

int usage() {
    err() << "Uso:\n"
             "  tesouraria-admin init BANCO [--demo] [--usuario U] [--senha S]\n"
             "      cria um banco de dados novo (arquivo local ou \"servidor:/caminho\"),\n"
             "      com dados de demonstração quando --demo é dado\n"
             "  tesouraria-admin check BANCO [--usuario U] [--senha S]\n"
             "      recalcula saldos diários, saldos das notas e valores pagos dos empenhos\n"
             "      e lista as diferenças (código de saída 0 só quando tudo confere)\n"
             "  tesouraria-admin upgrade BANCO [--usuario U] [--senha S]\n"
             "      atualiza a estrutura de um banco de dados de versão anterior\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return usage();
    const QString command = args.takeFirst();
    fb::ConnectParams params;
    params.database = args.takeFirst();
    bool demo = false;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--demo"))
            demo = true;
        else if (a == QLatin1String("--usuario") && !args.isEmpty())
            params.user = args.takeFirst();
        else if (a == QLatin1String("--senha") && !args.isEmpty())
            params.password = args.takeFirst();
        else
            return usage();
    }
    try {
        if (command == QLatin1String("init")) {
            data::createDatabase(params, demo);
            out() << "Banco de dados criado: " << params.database
                  << (demo ? " (com dados de demonstração)" : "") << "\n";
            return 0;
        }
        if (command == QLatin1String("check")) {
            fb::Connection connection(params);
            const int version = data::databaseVersion(connection);
            if (version != data::programSchemaVersion()) {
                err() << "Versão do banco de dados: " << version << "; este programa usa a versão "
                      << data::programSchemaVersion() << ".\n";
                return 1;
            }
            const QStringList differences = data::verifyDerivedValues(connection);
            for (const QString& d : differences) out() << d << "\n";
            if (differences.isEmpty()) {
                out() << "Tudo confere: saldos diários, saldos das notas e valores pagos dos "
                         "empenhos.\n";
                return 0;
            }
            out() << differences.size() << " diferença(s) encontrada(s).\n";
            return 1;
        }
        if (command == QLatin1String("upgrade")) {
            fb::Connection connection(params);
            const int found = data::upgradeSchema(connection);
            out() << "Banco de dados na versão " << data::programSchemaVersion()
                  << " (estava na versão " << found << ").\n";
            return 0;
        }
    } catch (const fb::Error& e) {
        err() << data::describeConnectionError(params.database, e) << "\n";
        return 1;
    } catch (const data::SchemaError& e) {
        err() << e.message() << "\n";
        return 1;
    }
    return usage();
}
