// Deployment and start-up: the configuration file, the reasons given for a
// database that cannot be opened, the embedded engine's private configuration,
// the connection request's limits, signals at start-up and the credentials.

#include <QProcess>
#include <QtTest>
#include <cerrno>

#include "data/conexao.h"
#include "data/schema.h"
#include "testdb.h"

class TstImplantacao : public QObject {
    Q_OBJECT
private slots:
    void iniEncodings_data();
    void iniEncodings();
    void connectionReasons_data();
    void connectionReasons();
    void adminCheckErrorAfterConnecting();
    void oversizedConnectionValues_data();
    void oversizedConnectionValues();

private:
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

QTEST_GUILESS_MAIN(TstImplantacao)
#include "tst_implantacao.moc"
