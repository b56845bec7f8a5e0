// tesouraria-admin: creates, checks, upgrades and copies treasury databases.

#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <iostream>
#include <string>

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
             "  tesouraria-admin init BANCO [--demo] [opções]\n"
             "      cria um banco de dados novo (arquivo local ou \"servidor:/caminho\"), com\n"
             "      dados de demonstração quando --demo é dado; num servidor cria também o\n"
             "      usuário do programa e mostra as linhas do ZELTESOURARIA.INI\n"
             "  tesouraria-admin check BANCO [opções]\n"
             "      recalcula saldos diários, saldos das notas e valores pagos dos empenhos\n"
             "      e lista as diferenças (código de saída 0 só quando tudo confere)\n"
             "  tesouraria-admin upgrade BANCO [opções]\n"
             "      atualiza a estrutura de um banco de dados de versão anterior\n"
             "  tesouraria-admin backup BANCO ARQUIVO.fbk [opções]\n"
             "      cópia de segurança com gbak, também com o programa aberto no banco\n"
             "  tesouraria-admin sql BANCO [opções]\n"
             "      abre o isql-fb no banco, também com o programa aberto nele\n"
             "Opções:\n"
             "  --usuario U            usuário do Firebird (SYSDBA quando omitido)\n"
             "  --senha-arquivo F      lê a senha da primeira linha do arquivo F\n"
             "  --senha S              a senha na linha de comando (visível a outros usuários;\n"
             "                         prefira TESOURARIA_SENHA, --senha-arquivo ou a pergunta)\n"
             "  --senha-admin-arquivo F  (init) senha do primeiro administrador do programa\n"
             "  --usuario-programa U   (init) usuário do programa no servidor (TESOURARIA)\n"
             "Num servidor, sem senha dada, ela vem de TESOURARIA_SENHA ou é perguntada.\n"
             "Sem --demo, a senha do administrador (login ADMIN) vem de --senha-admin-arquivo,\n"
             "de TESOURARIA_SENHA_ADMIN ou da pergunta; sem terminal, é gerada e mostrada.\n";
    return 2;
}

QString firstLineOf(const QString& path, bool* ok) {
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(f.readLine()).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'))
               : QString();
}

// Asks on the terminal without echo; null when there is no terminal.
QString prompt(const QString& question) {
    if (!::isatty(STDIN_FILENO))
        return {};
    err() << question << Qt::flush;
    termios old{};
    const bool tty = ::tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (tty)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
    err() << "\n" << Qt::flush;
    return QString::fromStdString(line);
}

// An external Firebird tool run on the database, with the embedded engine's
// configuration of this process (so that it shares a file the program has open)
// or the credentials in its environment (never on its command line).
int runTool(const QString& tool, QStringList arguments, const fb::ConnectParams& params) {
    if (!params.isRemote()) {
        try {
            fb::prepareEmbeddedEnvironment();
        } catch (const fb::Error& e) {
            err() << e.message() << "\n";
            return 1;
        }
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();  // FIREBIRD, FIREBIRD_LOCK
    env.insert(QStringLiteral("ISC_USER"), params.user);
    if (!params.password.isEmpty())
        env.insert(QStringLiteral("ISC_PASSWORD"), params.password);
    else
        env.remove(QStringLiteral("ISC_PASSWORD"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.setInputChannelMode(QProcess::ForwardedInputChannel);
    p.start(tool, arguments);
    if (!p.waitForStarted()) {
        err() << "Não foi possível executar " << tool
              << " (pacote firebird3.0-utils instalado?).\n";
        return 1;
    }
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : 1;
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
    QString backupFile;
    if (command == QLatin1String("backup")) {
        if (args.isEmpty())
            return usage();
        backupFile = args.takeFirst();
    }
    bool demo = false;
    bool passwordGiven = false;
    QString adminPassword;
    QString programUser = QString::fromLatin1(data::kProgramUser);
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        bool ok = true;
        if (a == QLatin1String("--demo"))
            demo = true;
        else if (a == QLatin1String("--usuario") && !args.isEmpty())
            params.user = args.takeFirst();
        else if (a == QLatin1String("--senha") && !args.isEmpty()) {
            params.password = args.takeFirst();
            passwordGiven = true;
        } else if (a == QLatin1String("--senha-arquivo") && !args.isEmpty()) {
            const QString file = args.takeFirst();
            params.password = firstLineOf(file, &ok);
            passwordGiven = true;
            if (!ok) {
                err() << "O arquivo de senha \"" << file << "\" não pôde ser lido.\n";
                return 1;
            }
        } else if (a == QLatin1String("--senha-admin-arquivo") && !args.isEmpty()) {
            const QString file = args.takeFirst();
            adminPassword = firstLineOf(file, &ok);
            if (!ok) {
                err() << "O arquivo de senha \"" << file << "\" não pôde ser lido.\n";
                return 1;
            }
        } else if (a == QLatin1String("--usuario-programa") && !args.isEmpty())
            programUser = args.takeFirst().toUpper();
        else
            return usage();
    }
    if (!passwordGiven && params.isRemote()) {
        if (qEnvironmentVariableIsSet("TESOURARIA_SENHA"))
            params.password = qEnvironmentVariable("TESOURARIA_SENHA");
        else
            params.password = prompt(QStringLiteral("Senha de %1 no servidor: ").arg(params.user));
    }

    if (command == QLatin1String("backup"))
        return runTool(QStringLiteral("gbak"), {QStringLiteral("-b"), params.database, backupFile},
                       params);
    if (command == QLatin1String("sql"))
        return runTool(QStringLiteral("isql-fb"), {params.database}, params);

    if (command == QLatin1String("init")) {
        if (!demo && adminPassword.isEmpty()) {
            adminPassword = qEnvironmentVariable("TESOURARIA_SENHA_ADMIN");
            if (adminPassword.isEmpty()) {
                adminPassword = prompt(QStringLiteral(
                    "Senha do administrador do programa (login ADMIN, até 8 caracteres; "
                    "vazia para gerar uma): "));
            }
        }
        if (!adminPassword.isEmpty()) {
            const QString problem = data::checkAdminPassword(adminPassword);
            if (!problem.isEmpty()) {
                err() << problem << "\n";
                return 1;
            }
        }
        QString used;
        try {
            used = data::createDatabase(params, demo, adminPassword);
        } catch (const fb::Error& e) {
            err() << data::describeConnectionError(params.database, e) << "\n";
            return 1;
        } catch (const data::SchemaError& e) {
            err() << e.message() << "\n";
            return 1;
        }
        out() << "Banco de dados criado: " << params.database
              << (demo ? " (com dados de demonstração)" : "") << "\n";
        if (demo)
            out() << "Administrador do programa: login " << data::kDemoAdminLogin << ", senha "
                  << data::kDemoAdminPassword << " (demonstração).\n";
        else if (adminPassword.isEmpty())
            out() << "Administrador do programa: login ADMIN, senha " << used
                  << " (gerada agora; anote-a, ela não será mostrada de novo).\n";
        else
            out() << "Administrador do programa: login ADMIN, com a senha informada.\n";
        if (!params.isRemote()) {
            out() << "\nLinhas do ZELTESOURARIA.INI:\n[DADOS]\nSERVIDOR=" << params.database
                  << "\n";
            return 0;
        }
        // The program's own user on the server, with the role's rights only.
        try {
            fb::Connection connection(params);
            QString programPassword = qEnvironmentVariable("TESOURARIA_SENHA_PROGRAMA");
            if (programPassword.isEmpty())
                programPassword = data::generatePassword(16);
            const bool created = data::ensureProgramUser(connection, programUser, programPassword);
            out() << (created ? "Usuário do programa criado no servidor: "
                              : "Usuário do programa já existia no servidor (senha mantida): ")
                  << programUser << "\n";
            out() << "\nLinhas do ZELTESOURARIA.INI (proteja o arquivo: chmod 600):\n[DADOS]\n"
                  << "SERVIDOR=" << params.database << "\nUSUARIO=" << programUser << "\nSENHA="
                  << (created ? programPassword
                              : QStringLiteral("<a senha já definida para ") + programUser +
                                    QLatin1Char('>'))
                  << "\nPAPEL=" << data::kProgramRole << "\n";
        } catch (const fb::Error& e) {
            err() << data::describeDatabaseError(params.database, e) << "\n"
                  << "O usuário do programa não foi criado; o banco de dados foi criado.\n";
            return 1;
        }
        return 0;
    }

    if (command != QLatin1String("check") && command != QLatin1String("upgrade"))
        return usage();
    std::unique_ptr<fb::Connection> connection;
    try {
        connection = std::make_unique<fb::Connection>(params);
    } catch (const fb::Error& e) {
        err() << data::describeConnectionError(params.database, e) << "\n";
        return 1;
    }
    try {
        if (command == QLatin1String("check")) {
            const int version = data::databaseVersion(*connection);
            if (version < 0) {
                err() << "O banco de dados \"" << params.database
                      << "\" não é um banco de dados da Tesouraria (não registra sua versão).\n";
                return 1;
            }
            if (version != data::programSchemaVersion()) {
                err() << "Versão do banco de dados: " << version << "; este programa usa a versão "
                      << data::programSchemaVersion()
                      << ". Atualize-o com: tesouraria-admin upgrade.\n";
                return 1;
            }
            const QStringList differences = data::verifyDerivedValues(*connection);
            for (const QString& d : differences) out() << d << "\n";
            if (differences.isEmpty()) {
                out() << "Tudo confere: saldos diários, saldos das notas e valores pagos dos "
                         "empenhos.\n";
                return 0;
            }
            out() << differences.size() << " diferença(s) encontrada(s).\n";
            return 1;
        }
        const int found = data::upgradeSchema(*connection);
        data::grantProgramRole(*connection);
        out() << "Banco de dados na versão " << data::programSchemaVersion()
              << " (estava na versão " << found << ").\n";
        return 0;
    } catch (const fb::Error& e) {
        err() << data::describeDatabaseError(params.database, e) << "\n";
        return 1;
    } catch (const data::SchemaError& e) {
        err() << e.message() << "\n";
        return 1;
    }
}
