// Deployment and start-up: the configuration file, the reasons given for a
// database that cannot be opened, the embedded engine's private configuration,
// the connection request's limits, signals at start-up and the credentials.

#include <sys/stat.h>
#include <unistd.h>
#include <QProcess>
#include <QUuid>
#include <QtTest>
#include <cerrno>
#include <csignal>

#include "data/conexao.h"
#include "data/criacao.h"
#include "data/schema.h"
#include "kit/db/database.h"
#include "testdb.h"

class TstImplantacao : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { firebirdPreset_ = qEnvironmentVariableIsSet("FIREBIRD"); }
    void iniEncodings_data();
    void iniEncodings();
    void connectionReasons_data();
    void connectionReasons();
    void adminCheckErrorAfterConnecting();
    void oversizedConnectionValues_data();
    void oversizedConnectionValues();
    void programUserOnServer();
    void plantedConfigurationFolderRefused_data();
    void plantedConfigurationFolderRefused();
    void processesShareAnEmbeddedFile();
    void terminationSignalDuringStartUpError_data();
    void terminationSignalDuringStartUpError();
    void passwordInConfigurationFile_data();
    void passwordInConfigurationFile();
    void firstAdministratorPassword_data();
    void firstAdministratorPassword();

private:
    bool firebirdPreset_ = false;  // then the process uses that configuration as it is
    static QString buildPath(const char* name) {
        return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
    }
};

void TstImplantacao::iniEncodings_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray utf8 = QStringLiteral("/dados/finanças/Tesouraria Ágil.fdb").toUtf8();
    const QByteArray latin1 = QStringLiteral("/dados/finanças/Tesouraria Ágil.fdb").toLatin1();
    QTest::newRow("utf-8, LF") << "[DADOS]\nSERVIDOR=" + utf8 + "\n";
    QTest::newRow("utf-8, CRLF") << "[DADOS]\r\nSERVIDOR=" + utf8 + "\r\n";
    QTest::newRow("utf-8 com BOM") << "\xEF\xBB\xBF[DADOS]\r\nSERVIDOR=" + utf8 + "\r\n";
    QTest::newRow("latin-1, CRLF") << "[DADOS]\r\nSERVIDOR=" + latin1 + "\r\n";
    QTest::newRow("latin-1, LF, sem fim de linha") << "[DADOS]\nSERVIDOR=" + latin1;
}

void TstImplantacao::iniEncodings() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ZELTESOURARIA.INI"));
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    const data::ConnectionConfig c = data::readConnectionConfig(ini);
    QVERIFY2(c.ok(), qPrintable(c.error));
    QCOMPARE(c.params.database, QStringLiteral("/dados/finanças/Tesouraria Ágil.fdb"));
}

void TstImplantacao::connectionReasons_data() {
    // Refusals that used to fall back to a generic text.
    QTest::addColumn<QString>("location");
    QTest::addColumn<QVariantList>("codes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("conexão rejeitada")
        << "srv:/dados/x.fdb" << QVariantList{335544421LL} << "O servidor recusou a conexão";
    QTest::newRow("sem permissão")
        << "srv:/dados/x.fdb" << QVariantList{335544352LL} << "não tem permissão para abrir";
    QTest::newRow("fechado para manutenção")
        << "srv:/dados/x.fdb" << QVariantList{335544528LL} << "fechado para manutenção";
    QTest::newRow("arquivo inexistente no servidor")
        << "srv:/dados/x.fdb" << QVariantList{335544344LL, 335544734LL} << "não existe no servidor";
    QTest::newRow("outra causa") << "srv:/dados/x.fdb" << QVariantList{335544999LL}
                                 << "O Firebird recusou a abertura: motivo do motor";
}

void TstImplantacao::connectionReasons() {
    QFETCH(QString, location);
    QFETCH(QVariantList, codes);
    QFETCH(QString, reason);
    QVector<long> list;
    for (const QVariant& c : codes) list << static_cast<long>(c.toLongLong());
    const int os = list.contains(335544734L) ? ENOENT : 0;
    const fb::Error e(QStringLiteral("motivo do motor\nsegunda linha"), list, -902,
                      fb::Error::Kind::Database, os);
    const QString text = data::describeConnectionError(location, e);
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("não pôde ser aberto.\n")));
}

void TstImplantacao::adminCheckErrorAfterConnecting() {
    // A Firebird database that claims this program's version but lacks its tables:
    // the check connects, then fails; that is not a connection failure.
    QTemporaryDir dir;
    fb::ConnectParams p;
    p.database = dir.filePath(QStringLiteral("incompleto.fdb"));
    {
        auto c = fb::Connection::create(p);
        fb::Transaction tr(*c);
        tr.executeImmediate(QStringLiteral(
            "CREATE TABLE VERSAOBD (VERSAO INTEGER NOT NULL, DTATUALIZACAO TIMESTAMP)"));
        tr.commit();
        fb::Transaction t2(*c);
        t2.executeImmediate(QStringLiteral("INSERT INTO VERSAOBD VALUES (%1, CURRENT_TIMESTAMP)")
                                .arg(data::programSchemaVersion()));
        t2.commit();
    }
    QProcess admin;
    admin.start(buildPath("tesouraria-admin"), {QStringLiteral("check"), p.database});
    QVERIFY(admin.waitForFinished(60000));
    const QString text = QString::fromUtf8(admin.readAllStandardError());
    QCOMPARE(admin.exitCode(), 1);
    QVERIFY2(!text.contains(QStringLiteral("Não foi possível conectar")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Erro no banco de dados")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("LANCAMENTO")) || text.contains(QStringLiteral("SALDO")),
             qPrintable(text));

    // And one that is not a treasury database is named so, not as "version -1".
    fb::ConnectParams other;
    other.database = dir.filePath(QStringLiteral("outro.fdb"));
    fb::Connection::create(other);
    admin.start(buildPath("tesouraria-admin"), {QStringLiteral("check"), other.database});
    QVERIFY(admin.waitForFinished(60000));
    QVERIFY(QString::fromUtf8(admin.readAllStandardError())
                .contains(QStringLiteral("não é um banco de dados da Tesouraria")));
}

void TstImplantacao::oversizedConnectionValues_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("refused");
    for (const char* field : {"usuario", "senha", "papel"}) {
        QTest::addRow("%s de 255", field) << QString::fromLatin1(field) << 255 << false;
        QTest::addRow("%s de 256", field) << QString::fromLatin1(field) << 256 << true;
        QTest::addRow("%s de 70000", field) << QString::fromLatin1(field) << 70000 << true;
    }
}

void TstImplantacao::oversizedConnectionValues() {
    QFETCH(QString, field);
    QFETCH(int, length);
    QFETCH(bool, refused);
    static std::unique_ptr<TestDatabase> t = TestDatabase::embedded();
    fb::ConnectParams p = t->params();
    const QString value(length, QLatin1Char('A'));
    if (field == QLatin1String("usuario"))
        p.user = value;
    else if (field == QLatin1String("senha"))
        p.password = value;
    else
        p.role = value;
    try {
        fb::Connection c(p);
        QVERIFY2(!refused, "accepted");
    } catch (const fb::Error& e) {
        if (!refused) {  // it reached the engine intact, which may refuse it itself
            QVERIFY2(e.kind() == fb::Error::Kind::Database, qPrintable(e.message()));
            return;
        }
        // Refused by this layer, before the client library, with a message saying so.
        QCOMPARE(e.kind(), fb::Error::Kind::Input);
        QVERIFY2(e.message().contains(QStringLiteral("no máximo 255")), qPrintable(e.message()));
        QVERIFY(data::describeConnectionError(p.database, e).contains(QStringLiteral("255")));
    }
}

void TstImplantacao::programUserOnServer() {
    if (!TestDatabase::serverConfigured())
        QSKIP("no Firebird server configured (the test command starts one: ZEL_TEST_SERVER)");
    const QString tag = QUuid::createUuid().toString(QUuid::Id128).left(10).toUpper();
    const QString user = QStringLiteral("T") + tag;
    const QString database = QStringLiteral("%1:%2/%3.fdb")
                                 .arg(qEnvironmentVariable("ZEL_TEST_SERVER"),
                                      qEnvironmentVariable("ZEL_TEST_SERVER_DIR"), tag);
    fb::ConnectParams admin;
    admin.database = database;
    admin.password = qEnvironmentVariable("ZEL_TEST_SERVER_PASSWORD");
    auto cleanUp = qScopeGuard([&] {
        try {
            fb::Connection c(admin);
            fb::Transaction tr(c);
            tr.executeImmediate(QStringLiteral("DROP USER ") + user);
            tr.commit();
            c.drop();
        } catch (...) {
        }
    });
    // The administrator's password from the environment, never on the command line.
    QProcess init;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TESOURARIA_SENHA"), admin.password);
    env.insert(QStringLiteral("TESOURARIA_SENHA_ADMIN"), QStringLiteral("PRIMEIRA"));
    init.setProcessEnvironment(env);
    init.start(buildPath("tesouraria-admin"),
               {QStringLiteral("init"), database, QStringLiteral("--usuario-programa"), user});
    init.closeWriteChannel();
    QVERIFY(init.waitForFinished(120000));
    const QString printed = QString::fromUtf8(init.readAllStandardOutput());
    QVERIFY2(init.exitCode() == 0, qPrintable(printed + init.readAllStandardError()));
    // It prints the lines of the configuration file; the program reads them.
    const int at = printed.indexOf(QStringLiteral("[DADOS]"));
    QVERIFY2(at >= 0, qPrintable(printed));
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ZELTESOURARIA.INI"));
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(printed.mid(at).toUtf8());
    f.close();
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const data::ConnectionConfig config = data::readConnectionConfig(ini);
    QVERIFY2(config.ok(), qPrintable(config.error));
    QCOMPARE(config.params.user, user);
    QVERIFY(config.params.password.size() >= 12);
    QCOMPARE(config.params.role, QString::fromLatin1(data::kProgramRole));

    // Through the role it does what the program does: codes, rows, the balance upkeep.
    kit::Database db(config.params);
    QVERIFY_DB(db.open());
    QVERIFY_DB(data::upgradeSchema(db.connection()));
    QVERIFY_DB(db.execute(QStringLiteral("INSERT INTO RECURSO (CDRECURSO, NOME) VALUES (1, 'R')")));
    int code = 0;
    QVERIFY_DB(code = db.callProcedure(QStringLiteral("INCREMENTA_CD_LANCAMENTO"))
                          .value(QStringLiteral("CODIGO"))
                          .toInt());
    QVERIFY_DB(db.execute(QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, "
                                         "CDRECURSO) VALUES (:C, CURRENT_DATE, 'C', 12.5, 1)"),
                          {{QStringLiteral("C"), code}}));
    QVERIFY_DB(QCOMPARE(
        db.value(QStringLiteral("SELECT SALDOATUAL FROM SALDOCAIXA")).value<kit::Money>().cents(),
        1250));
    QCOMPARE(
        db.value(QStringLiteral("SELECT LOGIN FROM USUARIO WHERE SENHA = 'PRIMEIRA'")).toString(),
        QStringLiteral("ADMIN"));
    // Nothing more: no changes to the structure, no version rows.
    QVERIFY_EXCEPTION_THROWN(db.execute(QStringLiteral("CREATE TABLE INTRUSA (X INTEGER)")),
                             fb::Error);
    QVERIFY_EXCEPTION_THROWN(db.execute(QStringLiteral("DELETE FROM VERSAOBD")), fb::Error);
    // Without the role it reaches no rows at all.
    fb::ConnectParams bare = config.params;
    bare.role.clear();
    fb::Connection c(bare);
    QVERIFY_EXCEPTION_THROWN(fb::queryValue(c, QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")),
                             fb::Error);
}

void TstImplantacao::plantedConfigurationFolderRefused_data() {
    QTest::addColumn<QString>("plant");
    QTest::addColumn<QString>("reason");
    QTest::newRow("de outro dono") << "owner"
                                   << "pertence a outro usuário";
    QTest::newRow("gravável por todos") << "mode"
                                        << "pode ser alterada por outros usuários";
    QTest::newRow("um link") << "link"
                             << "não é uma pasta";
    QTest::newRow("pasta de travas de outro dono") << "lock"
                                                   << "pertence a outro usuário";
}

void TstImplantacao::plantedConfigurationFolderRefused() {
    QFETCH(QString, plant);
    QFETCH(QString, reason);
    auto t = TestDatabase::embedded();
    // Another local user got there first and prepared the folder the engine's
    // configuration would go in, with a configuration of its own.
    QTemporaryDir tmp;
    const QString base = tmp.filePath(QStringLiteral("tesouraria-firebird-%1").arg(::geteuid()));
    const QString elsewhere = tmp.filePath(QStringLiteral("alheia"));
    QVERIFY(QDir().mkpath(elsewhere));
    QFile conf(elsewhere + QStringLiteral("/firebird.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("ServerMode = Super\n");
    conf.close();
    if (plant == QLatin1String("link")) {
        QVERIFY(QFile::link(elsewhere, base));
    } else {
        QVERIFY(QDir().mkpath(base + QStringLiteral("/lock")));
        const QString target =
            plant == QLatin1String("lock") ? base + QStringLiteral("/lock") : base;
        if (plant == QLatin1String("mode")) {
            QVERIFY(::chmod(QFile::encodeName(base).constData(), 0777) == 0);
        } else {
            if (::geteuid() != 0)
                QSKIP("giving a folder to another owner needs root");
            QVERIFY(::chown(QFile::encodeName(target).constData(), 65534, 65534) == 0);
        }
    }
    QProcess admin;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    env.remove(QStringLiteral("FIREBIRD"));
    env.remove(QStringLiteral("FIREBIRD_LOCK"));
    admin.setProcessEnvironment(env);
    admin.start(buildPath("tesouraria-admin"), {QStringLiteral("check"), t->params().database});
    QVERIFY(admin.waitForFinished(60000));
    const QString text = QString::fromUtf8(admin.readAllStandardError());
    QCOMPARE(admin.exitCode(), 1);
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("não pôde ser preparada com segurança")),
             qPrintable(text));
    // Nothing was written into the planted folders.
    QCOMPARE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("firebird.conf")});
}

void TstImplantacao::processesShareAnEmbeddedFile() {
    // This process holds the file open while the administration tool checks it and
    // copies it: each process has its own configuration folder, the same content and
    // the user's one lock folder.
    auto t = TestDatabase::embedded(true);
    auto holder = t->connect();
    fb::Transaction open(*holder);
    QVERIFY_DB(fb::Statement(open, QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")).execute());
    const QString own = qEnvironmentVariable("FIREBIRD");
    if (firebirdPreset_)
        QSKIP("FIREBIRD was set before the test started");
    QVERIFY(own.contains(QStringLiteral("/conf-%1-").arg(QCoreApplication::applicationPid())));
    QCOMPARE(QFileInfo(own).permissions() & 0x0077, QFileDevice::Permissions());
    QCOMPARE(QFileInfo(own + QStringLiteral("/..")).ownerId(), ::geteuid());
    QVERIFY(!QFileInfo(own + QStringLiteral("/intl/libfbintl.so")).isSymLink());

    // Started on its own, as an operator starts it: it finds its way by itself.
    QProcess admin;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("FIREBIRD"));
    env.remove(QStringLiteral("FIREBIRD_LOCK"));
    admin.setProcessEnvironment(env);
    admin.start(buildPath("tesouraria-admin"), {QStringLiteral("check"), t->params().database});
    QVERIFY(admin.waitForFinished(60000));
    QVERIFY2(admin.exitCode() == 0,
             qPrintable(admin.readAllStandardOutput() + admin.readAllStandardError()));
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copia.fbk"));
    admin.start(buildPath("tesouraria-admin"),
                {QStringLiteral("backup"), t->params().database, copy});
    QVERIFY(admin.waitForFinished(120000));
    QVERIFY2(admin.exitCode() == 0, qPrintable(admin.readAllStandardError()));
    QVERIFY(QFileInfo(copy).size() > 10000);
    // The tool's own configuration folder went with it.
    const QStringList left =
        QDir(QFileInfo(own).absolutePath())
            .entryList({QStringLiteral("conf-%1-*").arg(admin.processId())}, QDir::Dirs);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    open.commit();
}

void TstImplantacao::terminationSignalDuringStartUpError_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("working");
    QTest::newRow("SIGTERM") << SIGTERM << false;
    QTest::newRow("SIGINT") << SIGINT << false;
    QTest::newRow("SIGHUP") << SIGHUP << false;
    QTest::newRow("SIGTERM com a janela principal aberta") << SIGTERM << true;
}

void TstImplantacao::terminationSignalDuringStartUpError() {
    // The program, with a configuration file that names no database, shows its
    // start-up error box and waits; a termination signal ends it at once.
    QFETCH(int, signal);
    QFETCH(bool, working);
    std::unique_ptr<TestDatabase> t;
    if (working)
        QVERIFY_DB(t = TestDatabase::embedded(true));
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("tesouraria"));
    QVERIFY(QFile::copy(buildPath("tesouraria"), program));
    QVERIFY(QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QFile ini(dir.filePath(QString::fromLatin1(data::kConfigFileName)));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[DADOS]\nSERVIDOR=" + (t ? t->params().database.toUtf8() : QByteArray()) + "\n");
    ini.close();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(program, {});
    QVERIFY(p.waitForStarted());
    // Long enough to be in the box's loop; a signal before that is covered too.
    QVERIFY(!p.waitForFinished(working ? 4000 : 1500));
    ::kill(static_cast<pid_t>(p.processId()), signal);
    QVERIFY2(p.waitForFinished(5000), "still running after the signal");
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 128 + signal);
}

void TstImplantacao::passwordInConfigurationFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("error");  // empty: accepted
    QTest::addColumn<QString>("user");
    const QByteArray server = "[DADOS]\nSERVIDOR=srv:/dados/zel.fdb\n";
    QTest::newRow("senha, só o dono lê") << server + "SENHA=x\n"
                                         << 0600 << ""
                                         << "TESOURARIA";
    QTest::newRow("senha, o grupo lê") << server + "SENHA=x\n"
                                       << 0640 << "chmod 600"
                                       << "";
    QTest::newRow("senha, todos leem") << server + "SENHA=x\n"
                                       << 0644 << "chmod 600"
                                       << "";
    QTest::newRow("sem senha, todos leem")
        << QByteArray("[DADOS]\nSERVIDOR=/dados/zel.fdb\n") << 0644 << ""
        << "SYSDBA";
    QTest::newRow("servidor sem senha") << server << 0600 << "SENHA"
                                        << "";
    QTest::newRow("SYSDBA quando pedido") << server + "USUARIO=SYSDBA\nSENHA=x\n"
                                          << 0600 << ""
                                          << "SYSDBA";
}

void TstImplantacao::passwordInConfigurationFile() {
    QFETCH(QByteArray, content);
    QFETCH(int, mode);
    QFETCH(QString, error);
    QFETCH(QString, user);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ZELTESOURARIA.INI"));
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QVERIFY(::chmod(QFile::encodeName(ini).constData(), static_cast<mode_t>(mode)) == 0);
    const data::ConnectionConfig c = data::readConnectionConfig(ini);
    if (error.isEmpty()) {
        QVERIFY2(c.ok(), qPrintable(c.error));
        QCOMPARE(c.params.user, user);
    } else {
        QVERIFY(!c.ok());
        QVERIFY2(c.error.contains(error), qPrintable(c.error));
        QVERIFY(c.error.contains(ini));
    }
}

void TstImplantacao::firstAdministratorPassword_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("fromEnvironment");
    QTest::addColumn<QString>("expected");  // empty: generated, printed once
    QTest::newRow("gerada") << QStringList{} << ""
                            << "";
    QTest::newRow("do operador") << QStringList{} << "Cofre9"
                                 << "COFRE9";
    QTest::newRow("demonstração") << QStringList{QStringLiteral("--demo")} << ""
                                  << QString::fromLatin1(data::kDemoAdminPassword);
}

void TstImplantacao::firstAdministratorPassword() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, fromEnvironment);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    fb::ConnectParams p;
    p.database = dir.filePath(QStringLiteral("novo.fdb"));
    QProcess admin;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TESOURARIA_SENHA_ADMIN"));
    if (!fromEnvironment.isEmpty())
        env.insert(QStringLiteral("TESOURARIA_SENHA_ADMIN"), fromEnvironment);
    admin.setProcessEnvironment(env);
    admin.start(buildPath("tesouraria-admin"),
                QStringList{QStringLiteral("init"), p.database} + arguments);
    admin.closeWriteChannel();  // no terminal: nothing is asked
    QVERIFY(admin.waitForFinished(120000));
    const QString printed = QString::fromUtf8(admin.readAllStandardOutput());
    QVERIFY2(admin.exitCode() == 0, qPrintable(printed + admin.readAllStandardError()));
    fb::Connection c(p);
    const QString stored =
        fb::queryValue(c, QStringLiteral("SELECT SENHA FROM USUARIO WHERE LOGIN = 'ADMIN'"))
            .toString();
    if (expected.isEmpty()) {
        QCOMPARE(stored.size(), 8);
        QVERIFY(stored != QLatin1String(data::kDemoAdminPassword));
        QVERIFY2(printed.contains(QStringLiteral("senha ") + stored), qPrintable(printed));
    } else {
        QCOMPARE(stored, expected);
    }
}

QTEST_GUILESS_MAIN(TstImplantacao)
#include "tst_implantacao.moc"
