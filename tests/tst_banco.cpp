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
    void textOutsideLatin1IsRefused();
    void moneyExactAndBounded();
    void everyReferenceOfTheSchema();
    void upgradeRefusedForContractsWithoutModality();
    void oversizedValuesRefusedBeforeTheClient_data();
    void oversizedValuesRefusedBeforeTheClient();
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

void TstBanco::textOutsideLatin1IsRefused() {
    auto db = db_->database();
    // Nothing is replaced or dropped below the boxes: the value is refused, named.
    try {
        db->execute(QStringLiteral("UPDATE FORNECEDOR SET NOME = :N WHERE CDFORNECEDOR = 1"),
                    {{QStringLiteral("N"), QStringLiteral("“CAFÉ” — AÇÚCAR € 😀")}});
        QFAIL("accepted");
    } catch (const fb::Error& e) {
        QCOMPARE(e.kind(), fb::Error::Kind::Input);
        QCOMPARE(e.message(), QStringLiteral("O texto informado para N contém caracteres que o "
                                             "banco de dados não aceita: “ ” — € 😀"));
    }
    QCOMPARE(
        db->value(QStringLiteral("SELECT NOME FROM FORNECEDOR WHERE CDFORNECEDOR = 1")).toString(),
        QStringLiteral("PAPELARIA CENTRAL"));
    db->execute(QStringLiteral("UPDATE FORNECEDOR SET NOME = :N WHERE CDFORNECEDOR = 1"),
                {{QStringLiteral("N"), QStringLiteral("CAFÉ AÇÚCAR Nº 1º §")}});
    QCOMPARE(
        db->value(QStringLiteral("SELECT NOME FROM FORNECEDOR WHERE CDFORNECEDOR = 1")).toString(),
        QStringLiteral("CAFÉ AÇÚCAR Nº 1º §"));
    db->execute(
        QStringLiteral("UPDATE FORNECEDOR SET NOME = 'PAPELARIA CENTRAL' WHERE "
                       "CDFORNECEDOR = 1"));
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
    // A whole number of reais that would wrap around 64 bits when made centavos
    // (184467440737095516 * 100 is -16 modulo 2^64).
    try {
        db->execute(QStringLiteral("UPDATE AVISO SET VALOR = :V"),
                    {{QStringLiteral("V"), 184467440737095516LL}});
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

void TstBanco::everyReferenceOfTheSchema() {
    // Every reference between tables, as the database reports its foreign keys.
    // HISTORICOUSUARIO.CDLANC is a record of what was done and deliberately none.
    const QSet<QString> expected = {
        "USUARIO.CDGRUPO>GRUPO",
        "CONFIGACESSO.CDGRUPO>GRUPO",
        "HISTORICOUSUARIO.CDUSUARIO>USUARIO",
        "LANCAMENTO.CDRECURSO>RECURSO",
        "LANCAMENTO.CDATIVIDADE>ATIVIDADE",
        "LANCAMENTO.CDFORNECEDOR>FORNECEDOR",
        "LANCAMENTO.CDEMPENHO>EMPENHO",
        "LANCAMENTO.CDNOTAS>NOTA",
        "LANCAMENTO.CDUSUARIO>USUARIO",
        "CHEQUE.CDRECURSO>RECURSO",
        "CHEQUE.CDATIVIDADE>ATIVIDADE",
        "CHEQUE.CDFORNECEDOR>FORNECEDOR",
        "CHEQUE.CDEMPENHO>EMPENHO",
        "CHEQUE.CDNOTAS>NOTA",
        "SALDOCAIXA.CDRECURSO>RECURSO",
        "EMPENHO.CDFORNECEDOR>FORNECEDOR",
        "EMPENHO.CDUSUARIO>USUARIO",
        "EMPENHO.CDCONTRATO>CONTRATO",
        "EMPENHO.CDSECRETARIA>SECRETARIA",
        "NOTA.CDEMPENHO>EMPENHO",
        "NOTA.CDFORNECEDOR>FORNECEDOR",
        "NOTA.CDLOCAL>LOCALIDADE",
        "NOTA.CDUSUARIO>USUARIO",
        "NOTA.CDRECURSO>RECURSO",
        "CONTRATO.CDFORNECEDOR>FORNECEDOR",
        "CONTRATO.CDMODALIDADE>MODALIDADE",
        "CONTRATO.CDUSUARIO>USUARIO",
    };
    auto c = db_->connect();
    fb::Transaction tr(*c, fb::Transaction::Access::ReadOnly);
    fb::Statement s(
        tr,
        QStringLiteral(
            "SELECT TRIM(FK.RDB$RELATION_NAME), TRIM(SEG.RDB$FIELD_NAME), "
            "TRIM(PK.RDB$RELATION_NAME), TRIM(PKSEG.RDB$FIELD_NAME) "
            "FROM RDB$RELATION_CONSTRAINTS FK "
            "JOIN RDB$REF_CONSTRAINTS REF ON REF.RDB$CONSTRAINT_NAME = FK.RDB$CONSTRAINT_NAME "
            "JOIN RDB$RELATION_CONSTRAINTS PK ON PK.RDB$CONSTRAINT_NAME = REF.RDB$CONST_NAME_UQ "
            "JOIN RDB$INDEX_SEGMENTS SEG ON SEG.RDB$INDEX_NAME = FK.RDB$INDEX_NAME "
            "JOIN RDB$INDEX_SEGMENTS PKSEG ON PKSEG.RDB$INDEX_NAME = PK.RDB$INDEX_NAME "
            "AND PKSEG.RDB$FIELD_POSITION = SEG.RDB$FIELD_POSITION "
            "WHERE FK.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY'"));
    s.execute();
    QSet<QString> found;
    while (s.fetch()) {
        found << s.value(0).toString() + QLatin1Char('.') + s.value(1).toString() +
                     QLatin1Char('>') + s.value(2).toString();
        // Every reference points at the referenced table's key column of the same name.
        QCOMPARE(s.value(3).toString(), s.value(1).toString());
    }
    tr.commit();
    QStringList missing = QStringList(expected.begin(), expected.end());
    QStringList extra = QStringList(found.begin(), found.end());
    missing.erase(std::remove_if(missing.begin(), missing.end(),
                                 [&](const QString& r) { return found.contains(r); }),
                  missing.end());
    extra.erase(std::remove_if(extra.begin(), extra.end(),
                               [&](const QString& r) { return expected.contains(r); }),
                extra.end());
    missing.sort();
    extra.sort();
    QVERIFY2(missing.isEmpty() && extra.isEmpty(),
             qPrintable(QStringLiteral("missing: %1; not expected: %2")
                            .arg(missing.join(QLatin1Char(' ')), extra.join(QLatin1Char(' ')))));
}

void TstBanco::upgradeRefusedForContractsWithoutModality() {
    // A database of the first version, whose contracts point at modalities 7 and 9
    // that do not exist (that version let them).
    QTemporaryDir dir;
    fb::ConnectParams p;
    p.database = dir.filePath(QStringLiteral("antigo.fdb"));
    auto c = fb::Connection::create(p);
    data::createSchema(*c, data::schemaSteps().mid(0, 1));
    data::insertBaseRows(*c, QStringLiteral("ADMIN"));
    {
        fb::Transaction tr(*c);
        tr.executeImmediate(QStringLiteral(
            "INSERT INTO MODALIDADE (CDMODALIDADE, DESCRICAO) VALUES (1, 'CONVITE')"));
        for (const char* sql : {"INSERT INTO CONTRATO (CDCONTRATO, CDMODALIDADE) VALUES (1, 1)",
                                "INSERT INTO CONTRATO (CDCONTRATO, CDMODALIDADE) VALUES (2, 7)",
                                "INSERT INTO CONTRATO (CDCONTRATO, CDMODALIDADE) VALUES (3, 9)",
                                "INSERT INTO CONTRATO (CDCONTRATO, CDMODALIDADE) VALUES (4, 9)",
                                "INSERT INTO CONTRATO (CDCONTRATO) VALUES (5)"})
            tr.executeImmediate(QString::fromLatin1(sql));
        tr.commit();
    }
    QCOMPARE(data::databaseVersion(*c), 1);
    try {
        data::upgradeSchema(*c);
        QFAIL("upgraded");
    } catch (const data::SchemaError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("3 contrato(s) apontam para modalidades que "
                                                     "não existem (código(s) de modalidade: 7, "
                                                     "9)")),
                 qPrintable(e.message()));
        QVERIFY(e.message().contains(QStringLiteral("continua na versão 1")));
    }
    // Exactly as it was: its version, no reference, no later step.
    QCOMPARE(data::databaseVersion(*c), 1);
    const auto count = [&](const QString& sql) { return fb::queryValue(*c, sql).toInt(); };
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_CONSTRAINTS WHERE "
                                  "RDB$CONSTRAINT_NAME = 'FK_CONTRATO_MODALIDADE'")),
             0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM VERSAOBD")), 1);
    // Once the modalities exist, the upgrade goes through.
    {
        fb::Transaction tr(*c);
        tr.executeImmediate(QStringLiteral(
            "INSERT INTO MODALIDADE (CDMODALIDADE, DESCRICAO) VALUES (7, 'PREGÃO')"));
        tr.executeImmediate(
            QStringLiteral("UPDATE CONTRATO SET CDMODALIDADE = 1 WHERE "
                           "CDMODALIDADE = 9"));
        tr.commit();
    }
    QCOMPARE(data::upgradeSchema(*c), 1);
    QCOMPARE(data::databaseVersion(*c), data::programSchemaVersion());
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_CONSTRAINTS WHERE "
                                  "RDB$CONSTRAINT_NAME = 'FK_CONTRATO_MODALIDADE'")),
             1);
    // A modality in use can no longer be deleted.
    try {
        fb::Transaction tr(*c);
        tr.executeImmediate(QStringLiteral("DELETE FROM MODALIDADE WHERE CDMODALIDADE = 7"));
        tr.commit();
        QFAIL("modality in use deleted");
    } catch (const fb::Error& e) {
        QVERIFY2(e.isReferenceViolation(), qPrintable(e.message()));
    }
}

void TstBanco::oversizedValuesRefusedBeforeTheClient_data() {
    QTest::addColumn<QString>("where");  // text parameter or blob
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("message");  // empty: accepted
    const QString text = QStringLiteral(
        "O texto informado para N é longo demais (%1 caracteres; "
        "o máximo é 32765).");
    QTest::newRow("texto no limite") << "texto" << 32765 << QString();
    QTest::newRow("texto de 32 766") << "texto" << 32766 << text.arg(32766);
    QTest::newRow("texto de 32 768") << "texto" << 32768 << text.arg(32768);
    QTest::newRow("texto de 70 000") << "texto" << 70000 << text.arg(70000);
    QTest::newRow("blob de 70 000") << "blob" << 70000 << QString();
    // User names and passwords: tst_implantacao::oversizedConnectionValues.
}

void TstBanco::oversizedValuesRefusedBeforeTheClient() {
    QFETCH(QString, where);
    QFETCH(int, bytes);
    QFETCH(QString, message);
    const QString value(bytes, QLatin1Char('A'));
    try {
        if (where == QLatin1String("blob")) {
            auto db = db_->database();
            db->execute(QStringLiteral("UPDATE EMPRESA SET FOTO = :N"),
                        {{QStringLiteral("N"), value.toLatin1()}});
        } else {
            auto db = db_->database();
            QCOMPARE(
                db->value(QStringLiteral("SELECT CHAR_LENGTH(CAST(:N AS VARCHAR(32765)) || '') "
                                         "FROM RDB$DATABASE"),
                          {{QStringLiteral("N"), value}})
                    .toInt(),
                bytes);
        }
        QVERIFY2(message.isEmpty(), "accepted");
    } catch (const fb::Error& e) {
        QCOMPARE(e.message(), message);
        QCOMPARE(e.kind(), fb::Error::Kind::Input);
    }
}

QTEST_GUILESS_MAIN(TstBanco)
#include "tst_banco.moc"
