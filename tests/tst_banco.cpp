// The database: schema from scratch, versions, key procedures, references, text and
// money at the edges, and the messages for databases that cannot be opened.

#include <QDir>
#include <QFile>
#include <QSet>
#include <QtConcurrent/QtConcurrent>
#include <QtTest>

#include "data/conexao.h"
#include "data/criacao.h"
#include "data/schema.h"
#include "kit/db/database.h"
#include "testdb.h"

using kit::Money;

class TstBanco : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void schemaFromScratch();
    void keyProceduresUniqueAcrossConnections();
    void keyProcedureStepsOverTakenCodes();
    void referencesRefused();
    void versionUpgradeAndNewerRefused();
    void textOutsideLatin1IsMapped();
    void moneyExactAndBounded();
    void blobRoundTrip();
    void databasesThatCannotBeOpened_data();
    void databasesThatCannotBeOpened();

private:
    std::unique_ptr<TestDatabase> db_;
};

void TstBanco::initTestCase() {
    QVERIFY_DB(db_ = TestDatabase::embedded());
    db_->addFixtureRows();
}

void TstBanco::schemaFromScratch() {
    auto c = db_->connect();
    QCOMPARE(data::databaseVersion(*c), data::programSchemaVersion());
    // Every table with its columns, and the database's character set.
    const QList<QPair<QString, int>> tables = {
        {"GERAL", 7},       {"EMPRESA", 9},      {"USUARIO", 10},
        {"GRUPO", 2},       {"CONFIGACESSO", 3}, {"HISTORICOUSUARIO", 6},
        {"ATIVIDADE", 3},   {"RECURSO", 6},      {"FORNECEDOR", 6},
        {"LOCALIDADE", 2},  {"MODALIDADE", 2},   {"SECRETARIA", 2},
        {"FUNCIONARIO", 9}, {"AVISO", 4},        {"LANCAMENTO", 22},
        {"CHEQUE", 22},     {"SALDOCAIXA", 5},   {"EMPENHO", 11},
        {"NOTA", 23},       {"CONTRATO", 16}};
    for (const auto& [table, columns] : tables) {
        const QVariant n = fb::queryValue(
            *c,
            QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = :T"),
            {{QStringLiteral("T"), table}});
        QVERIFY2(n.toInt() == columns,
                 qPrintable(QStringLiteral("%1: %2 columns").arg(table).arg(n.toInt())));
    }
    QCOMPARE(
        fb::queryValue(*c, QStringLiteral("SELECT TRIM(RDB$CHARACTER_SET_NAME) FROM RDB$DATABASE"))
            .toString(),
        QStringLiteral("ISO8859_1"));
    QCOMPARE(fb::queryValue(*c, QStringLiteral("SELECT MON$SQL_DIALECT FROM MON$DATABASE")).toInt(),
             3);
    const QVariant scale = fb::queryValue(
        *c,
        QStringLiteral("SELECT F.RDB$FIELD_SCALE FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS F ON "
                       "F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE "
                       "WHERE R.RDB$RELATION_NAME = 'LANCAMENTO' AND R.RDB$FIELD_NAME = 'VALOR'"));
    QCOMPARE(scale.toInt(), -2);
}

void TstBanco::keyProceduresUniqueAcrossConnections() {
    // Two workstations draw codes at the same time from each procedure.
    for (const char* proc :
         {"INCREMENTA_CD_LANCAMENTO", "INCREMENTA_CD_NOTA", "INCREMENTA_CD_EMPENHO",
          "INCREMENTA_CD_CONTRATO", "INCREMENTA_CD_HISTORICOUSU"}) {
        auto draw = [&] {
            auto db = db_->database();
            QList<int> codes;
            for (int i = 0; i < 200; ++i)
                codes << db->callProcedure(QString::fromLatin1(proc))
                             .value(QStringLiteral("CODIGO"))
                             .toInt();
            return codes;
        };
        QFuture<QList<int>> a = QtConcurrent::run(draw);
        QFuture<QList<int>> b = QtConcurrent::run(draw);
        const QList<int> all = a.result() + b.result();
        QCOMPARE(QSet<int>(all.begin(), all.end()).size(), 400);
        QVERIFY(*std::min_element(all.begin(), all.end()) > 0);
    }
}

void TstBanco::keyProcedureStepsOverTakenCodes() {
    auto db = db_->database();
    const int next = db->callProcedure(QStringLiteral("INCREMENTA_CD_NOTA"))
                         .value(QStringLiteral("CODIGO"))
                         .toInt();
    // Rows brought in with the next codes already taken.
    db->execute(QStringLiteral("INSERT INTO NOTA (CDNOTAS, NUMNOTA) VALUES (:A, 'X')"),
                {{QStringLiteral("A"), next + 1}});
    db->execute(QStringLiteral("INSERT INTO NOTA (CDNOTAS, NUMNOTA) VALUES (:A, 'Y')"),
                {{QStringLiteral("A"), next + 2}});
    QCOMPARE(db->callProcedure(QStringLiteral("INCREMENTA_CD_NOTA"))
                 .value(QStringLiteral("CODIGO"))
                 .toInt(),
             next + 3);
}

void TstBanco::referencesRefused() {
    auto db = db_->database();
    db->execute(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO, "
                       "CDATIVIDADE, CDFORNECEDOR) "
                       "VALUES (900, CURRENT_DATE, 'D', 10, 1, 1, 1)"));
    const QStringList refused = {
        QStringLiteral("DELETE FROM FORNECEDOR WHERE CDFORNECEDOR = 1"),
        QStringLiteral("DELETE FROM ATIVIDADE WHERE CDATIVIDADE = 1"),
        QStringLiteral("UPDATE RECURSO SET CDRECURSO = 7 WHERE CDRECURSO = 1"),
        QStringLiteral("DELETE FROM EMPENHO WHERE CDEMPENHO = 1"),
        QStringLiteral("DELETE FROM LOCALIDADE WHERE CDLOCAL = 3"),
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, CDRECURSO) VALUES (901, 99)")};
    for (const QString& sql : refused) {
        try {
            db->execute(sql);
            QFAIL(qPrintable(QStringLiteral("accepted: ") + sql));
        } catch (const fb::Error& e) {
            QVERIFY2(e.isConstraintViolation(), qPrintable(e.message()));
        }
    }
    db->execute(QStringLiteral("DELETE FROM LANCAMENTO WHERE CDLANCAMENTO = 900"));
}

void TstBanco::versionUpgradeAndNewerRefused() {
    auto t = TestDatabase::embedded();
    auto c = t->connect();
    // A later version of the program adds a step: an older database is brought up to it.
    QVector<data::SchemaStep> steps = data::schemaSteps();
    steps.append({static_cast<int>(steps.size()) + 1,
                  QStringLiteral("ALTER TABLE GERAL ADD OBSERVACAO VARCHAR(20);")});
    QCOMPARE(data::upgradeSchema(*c, steps), data::programSchemaVersion());
    QCOMPARE(data::databaseVersion(*c), data::programSchemaVersion() + 1);
    QCOMPARE(
        fb::queryValue(
            *c, QStringLiteral(
                    "SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'GERAL' "
                    "AND RDB$FIELD_NAME = 'OBSERVACAO'"))
            .toInt(),
        1);
    // This program meets that newer database and refuses it.
    try {
        data::upgradeSchema(*c);
        QFAIL("newer database accepted");
    } catch (const data::SchemaError& e) {
        QVERIFY(e.message().contains(QStringLiteral("mais nova que a deste programa")));
    }
    // A Firebird database that is not ours.
    QTemporaryDir dir;
    fb::ConnectParams other;
    other.database = dir.filePath(QStringLiteral("outro.fdb"));
    auto oc = fb::Connection::create(other);
    QVERIFY_EXCEPTION_THROWN(data::upgradeSchema(*oc), data::SchemaError);
}

void TstBanco::textOutsideLatin1IsMapped() {
    auto db = db_->database();
    db->execute(QStringLiteral("UPDATE FORNECEDOR SET NOME = :N WHERE CDFORNECEDOR = 1"),
                {{QStringLiteral("N"), QStringLiteral("“CAFÉ” — AÇÚCAR € 😀")}});
    QCOMPARE(
        db->value(QStringLiteral("SELECT NOME FROM FORNECEDOR WHERE CDFORNECEDOR = 1")).toString(),
        QStringLiteral("\"CAFÉ\" - AÇÚCAR EUR "));
}

void TstBanco::moneyExactAndBounded() {
    auto db = db_->database();
    // Values that a binary double cannot hold exactly come back to the centavo.
    for (qint64 cents : {115LL, 1LL, 999999999999999LL, -123456789LL, 10LL}) {
        db->execute(QStringLiteral("DELETE FROM AVISO"));
        db->execute(QStringLiteral("INSERT INTO AVISO (CDAVISO, VALOR) VALUES (1, :V)"),
                    {{QStringLiteral("V"), QVariant::fromValue(Money::fromCents(cents))}});
        QCOMPARE(db->value(QStringLiteral("SELECT VALOR FROM AVISO")).value<Money>().cents(),
                 cents);
    }
    // Beyond numeric(15,2): refused before the database with a clear message.
    try {
        db->execute(
            QStringLiteral("UPDATE AVISO SET VALOR = :V"),
            {{QStringLiteral("V"), QVariant::fromValue(Money::fromCents(Money::kMaxCents + 1))}});
        QFAIL("out of range accepted");
    } catch (const fb::Error& e) {
        QCOMPARE(e.kind(), fb::Error::Kind::Input);
        QCOMPARE(e.message(), kit::moneyOutOfRangeMessage());
    }
    // And by the database itself for any other client.
    QVERIFY_EXCEPTION_THROWN(
        db->execute(QStringLiteral("UPDATE AVISO SET VALOR = 10000000000000.00")), fb::Error);
    QCOMPARE(db->value(QStringLiteral("SELECT VALOR FROM AVISO")).value<Money>().cents(), 10);
}

void TstBanco::blobRoundTrip() {
    auto db = db_->database();
    QByteArray picture;
    for (int i = 0; i < 200000; ++i) picture.append(static_cast<char>(i * 7919 % 251));
    db->execute(
        QStringLiteral("INSERT INTO EMPRESA (CDEMPRESA, NOME, FOTO) VALUES (1, 'PREFEITURA', :F)"),
        {{QStringLiteral("F"), picture}});
    QCOMPARE(
        db->value(QStringLiteral("SELECT FOTO FROM EMPRESA WHERE CDEMPRESA = 1")).toByteArray(),
        picture);
}

void TstBanco::databasesThatCannotBeOpened_data() {
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("reason");
    QTest::newRow("caminho inexistente") << "/nao/existe/tesouraria.fdb"
                                         << ""
                                         << "não existe";
    QTest::newRow("não é banco") << "NOT_A_DATABASE"
                                 << ""
                                 << "não é um banco de dados Firebird válido";
    QTest::newRow("arquivo curto que não é banco") << "SHORT_FILE"
                                                   << ""
                                                   << "não é um banco de dados Firebird válido";
    QTest::newRow("uma pasta") << "FOLDER"
                               << ""
                               << "é uma pasta";
    QTest::newRow("pasta inexistente") << "/nao/existe/tesouraria.fdb"
                                       << ""
                                       << "A pasta \"/nao/existe\" não existe";
    QTest::newRow("servidor que não responde") << "127.0.0.1/3199:/tmp/x.fdb"
                                               << ""
                                               << "não respondeu";
    if (TestDatabase::serverConfigured())
        QTest::newRow("senha recusada") << QStringLiteral("%1:%2/x.fdb")
                                               .arg(qEnvironmentVariable("ZEL_TEST_SERVER"),
                                                    qEnvironmentVariable("ZEL_TEST_SERVER_DIR"))
                                        << "errada"
                                        << "recusou o usuário ou a senha";
}

void TstBanco::databasesThatCannotBeOpened() {
    QFETCH(QString, location);
    QFETCH(QString, password);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    if (location == QLatin1String("NOT_A_DATABASE")) {
        location = dir.filePath(QStringLiteral("texto.fdb"));
        QFile f(location);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(20000, 'x'));
    } else if (location == QLatin1String("SHORT_FILE")) {
        location = dir.filePath(QStringLiteral("curto.fdb"));
        QFile f(location);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("não é um banco de dados\n");
    } else if (location == QLatin1String("FOLDER")) {
        location = dir.filePath(QStringLiteral("pasta.fdb"));
        QVERIFY(QDir().mkdir(location));
    }
    fb::ConnectParams p;
    p.database = location;
    if (!password.isEmpty())
        p.password = password;
    try {
        fb::Connection c(p);
        QFAIL("opened");
    } catch (const fb::Error& e) {
        const QString text = data::describeConnectionError(location, e);
        QVERIFY2(text.contains(reason), qPrintable(text));
        QVERIFY(text.contains(location));
    }
}

QTEST_GUILESS_MAIN(TstBanco)
#include "tst_banco.moc"
