// The data-set layer: states, pending changes and their apply, filter,
// master-detail, lookups, and refusals surfacing through AplicaAtualizacoes.

#include <QtTest>

#include "data/U_Biblioteca.h"
#include "kit/core/decimal.h"
#include "kit/core/messages.h"
#include "kit/db/dataset.h"
#include "testdb.h"

using kit::DataSet;
using kit::Money;

class TstDataSet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void editingAndApplying();
    void keysAndColumnsOfTheUpdateTable();
    void filterMasterDetailAndLookups();
    void refusedDeleteComesBack();
    void refusedInsertIsDiscarded();
    void rowGoneElsewhere();
    void valuesCheckedAtTheField();
    void textRefusedBelowTheBoxes_data();
    void textRefusedBelowTheBoxes();
    void twoWorkstationsSameSupplier_data();
    void twoWorkstationsSameSupplier();
    void extraWrittenInTheSameTransaction();
    void refusalOutcomes_data();
    void refusalOutcomes();
    void refreshKeepsPendingRows();
    void pictureChangedElsewhere();
    void exactNumbersOfEveryScale_data();
    void exactNumbersOfEveryScale();

private:
    std::unique_ptr<TestDatabase> t_;
    std::unique_ptr<kit::Database> db_;
    kit::RecordingMessageService* messages_ = nullptr;
};

void TstDataSet::initTestCase() {
    QVERIFY_DB(t_ = TestDatabase::embedded());
    t_->addFixtureRows();
    db_ = t_->database();
    messages_ = recordMessages();
    // Exact numerics of every scale the reports may meet.
    db_->write([](fb::Transaction& tr) {
        tr.executeImmediate(QStringLiteral(
            "CREATE TABLE ESCALAS (ID INTEGER NOT NULL PRIMARY KEY, S0 NUMERIC(18,0), "
            "S1 NUMERIC(18,1), S2 NUMERIC(18,2), S3 NUMERIC(18,3), S4 NUMERIC(18,4), "
            "P2 NUMERIC(4,2), I INTEGER)"));
    });
    db_->execute(QStringLiteral("INSERT INTO ESCALAS (ID) VALUES (1)"));
}

void TstDataSet::init() {
    messages_->clear();
}

void TstDataSet::editingAndApplying() {
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM ATIVIDADE ORDER BY CDATIVIDADE"));
    ds.open();
    QCOMPARE(ds.state(), DataSet::State::Browse);
    QCOMPARE(ds.recordCount(), 1);
    ds.append();
    QVERIFY(EmEdicao(ds));
    QCOMPARE(ds.state(), DataSet::State::Insert);
    ds.setValue(QStringLiteral("CDATIVIDADE"), 2);
    ds.setValue(QStringLiteral("NOME"), QStringLiteral("combustível"));
    ds.post();
    QVERIFY(!EmEdicao(ds));
    ds.append();
    ds.setValue(QStringLiteral("CDATIVIDADE"), 3);
    ds.cancel();  // a cancelled insert leaves nothing
    QCOMPARE(ds.recordCount(), 2);
    ds.first();
    ds.edit();
    ds.setValue(QStringLiteral("NOME"), QStringLiteral("EXPEDIENTE"));
    ds.post();
    QCOMPARE(ds.pendingCount(), 2);
    // Nothing reaches the database before the apply.
    QCOMPARE(db_->value(QStringLiteral("SELECT COUNT(*) FROM ATIVIDADE")).toInt(), 1);
    QVERIFY(AplicaAtualizacoes(ds));
    QCOMPARE(ds.pendingCount(), 0);
    QCOMPARE(
        db_->value(QStringLiteral("SELECT NOME FROM ATIVIDADE WHERE CDATIVIDADE = 1")).toString(),
        QStringLiteral("EXPEDIENTE"));
    QCOMPARE(
        db_->value(QStringLiteral("SELECT NOME FROM ATIVIDADE WHERE CDATIVIDADE = 2")).toString(),
        QStringLiteral("combustível"));
    ds.locate(QStringLiteral("CDATIVIDADE"), 2);
    ds.remove();
    QVERIFY(AplicaAtualizacoes(ds));
    QCOMPARE(db_->value(QStringLiteral("SELECT COUNT(*) FROM ATIVIDADE")).toInt(), 1);
    QVERIFY(messages_->messages.empty());
}

void TstDataSet::keysAndColumnsOfTheUpdateTable() {
    // A select with a join writes only its own table's columns, keyed on its key.
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral(
        "SELECT N.*, E.NUMEMPENHO AS EMP FROM NOTA N JOIN EMPENHO E ON E.CDEMPENHO = N.CDEMPENHO "
        "WHERE N.CDNOTAS = :PCDNOTAS"));
    ds.setUpdateTable(QStringLiteral("NOTA"), {QStringLiteral("CDNOTAS")});
    ds.setParam(QStringLiteral("PCDNOTAS"), 1);
    ds.open();
    QCOMPARE(ds.recordCount(), 1);
    ds.edit();
    ds.setValue(QStringLiteral("HISTORICO"), QStringLiteral("MATERIAL"));
    ds.post();
    QVERIFY(AplicaAtualizacoes(ds));
    QCOMPARE(db_->value(QStringLiteral("SELECT HISTORICO FROM NOTA WHERE CDNOTAS = 1")).toString(),
             QStringLiteral("MATERIAL"));

    DataSet plain(db_.get());
    plain.setSql(QStringLiteral("SELECT * FROM CONFIGACESSO"));
    plain.open();
    QCOMPARE(plain.updateTable(), QStringLiteral("CONFIGACESSO"));
    QCOMPARE(plain.keyFields(), (QStringList{"CDGRUPO", "MENU"}));
}

void TstDataSet::filterMasterDetailAndLookups() {
    db_->execute(
        QStringLiteral("INSERT INTO NOTA (CDNOTAS, CDEMPENHO, NUMNOTA, VALORBRUTO, SALDO, CDLOCAL) "
                       "VALUES (3, 1, '503', 5, 5, 3)"));
    DataSet empenhos(db_.get()), notas(db_.get()), locais(db_.get());
    empenhos.setSql(QStringLiteral("SELECT * FROM EMPENHO ORDER BY CDEMPENHO"));
    locais.setSql(QStringLiteral("SELECT * FROM LOCALIDADE"));
    notas.setSql(QStringLiteral("SELECT * FROM NOTA ORDER BY CDNOTAS"));
    notas.addLookupField(QStringLiteral("localidade"), QStringLiteral("CDLOCAL"), &locais,
                         QStringLiteral("CDLOCAL"), QStringLiteral("DESCRICAO"));
    locais.open();
    empenhos.open();
    notas.open();
    notas.setMaster(&empenhos, {QStringLiteral("CDEMPENHO")}, {QStringLiteral("CDEMPENHO")});
    QCOMPARE(notas.recordCount(), 2);  // invoices 1 and 3 of commitment 1
    QCOMPARE(notas.value(QStringLiteral("localidade")).toString(), QStringLiteral("C. INTERNO"));
    empenhos.next();
    QCOMPARE(notas.recordCount(), 1);
    QCOMPARE(notas.value(QStringLiteral("NUMNOTA")).toString(), QStringLiteral("502"));
    notas.append();  // a new detail row takes the master's key
    QCOMPARE(notas.value(QStringLiteral("CDEMPENHO")).toInt(), 2);
    notas.cancel();
    empenhos.first();
    notas.setFilter([](const DataSet& d) {
        return d.value(QStringLiteral("VALORBRUTO")).value<Money>() > Money::fromReais(10);
    });
    notas.setFiltered(true);
    QCOMPARE(notas.recordCount(), 1);
    notas.setFiltered(false);
    QCOMPARE(notas.recordCount(), 2);
    db_->execute(QStringLiteral("DELETE FROM NOTA WHERE CDNOTAS = 3"));
}

void TstDataSet::refusedDeleteComesBack() {
    db_->execute(QStringLiteral("INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME) VALUES (2, 'OUTRO')"));
    db_->execute(QStringLiteral(
        "INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO, CDFORNECEDOR) "
        "VALUES (50, CURRENT_DATE, 'D', 1, 1, 1)"));
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM FORNECEDOR ORDER BY CDFORNECEDOR"));
    ds.open();
    ds.first();  // supplier 1, used by the entry
    ds.remove();
    QCOMPARE(ds.recordCount(), 1);
    QVERIFY(!AplicaAtualizacoes(ds));
    QCOMPARE(messages_->messages.size(), size_t(1));
    QCOMPARE(messages_->messages[0].kind, kit::MessageService::Kind::Warning);
    QCOMPARE(messages_->last(), QStringLiteral("Não foi possível completar a operação!\nVocê está "
                                               "tentando remover ou alterar um registro que "
                                               "possui relacionamentos com outros registros no "
                                               "Banco de Dados. Por favor, remova todos os "
                                               "relacionamentos, antes de tentar novamente!"));
    // Back where it was, nothing pending, nothing half-written.
    QCOMPARE(ds.recordCount(), 2);
    QCOMPARE(ds.valueAt(0, QStringLiteral("CDFORNECEDOR")).toInt(), 1);
    QCOMPARE(ds.pendingCount(), 0);
    QCOMPARE(db_->value(QStringLiteral("SELECT COUNT(*) FROM FORNECEDOR")).toInt(), 2);
    db_->execute(QStringLiteral("DELETE FROM LANCAMENTO WHERE CDLANCAMENTO = 50"));
}

void TstDataSet::refusedInsertIsDiscarded() {
    // Two changes in one apply: the second is refused, so neither is written.
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM LOCALIDADE ORDER BY CDLOCAL"));
    ds.open();
    ds.append();
    ds.setValue(QStringLiteral("CDLOCAL"), 4);
    ds.setValue(QStringLiteral("DESCRICAO"), QStringLiteral("ARQUIVO"));
    ds.post();
    ds.append();
    ds.setValue(QStringLiteral("CDLOCAL"), 3);  // already taken
    ds.setValue(QStringLiteral("DESCRICAO"), QStringLiteral("REPETIDA"));
    ds.post();
    QVERIFY(!AplicaAtualizacoes(ds));
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(db_->value(QStringLiteral("SELECT COUNT(*) FROM LOCALIDADE")).toInt(), 1);
}

void TstDataSet::rowGoneElsewhere() {
    db_->execute(
        QStringLiteral("INSERT INTO SECRETARIA (CDSECRETARIA, DESCRICAO) VALUES (9, 'OBRAS')"));
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM SECRETARIA"));
    ds.open();
    db_->execute(
        QStringLiteral("DELETE FROM SECRETARIA WHERE CDSECRETARIA = 9"));  // another workstation
    ds.edit();
    ds.setValue(QStringLiteral("DESCRICAO"), QStringLiteral("OBRAS E VIAÇÃO"));
    ds.post();
    const kit::ApplyResult r = ds.applyUpdates();
    QVERIFY(!r.ok);
    QVERIFY(r.error->message().contains(QStringLiteral("outro usuário")));
}

void TstDataSet::valuesCheckedAtTheField() {
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM AVISO"));
    ds.open();
    ds.append();
    ds.setValue(QStringLiteral("CDAVISO"), 1);
    try {
        ds.setValue(QStringLiteral("VALOR"), QStringLiteral("10.000.000.000.000,00"));
        QFAIL("accepted");
    } catch (const kit::DataSetError&) {
    }
    try {
        ds.setValue(QStringLiteral("VALOR"), QStringLiteral("12A"));
        QFAIL("accepted");
    } catch (const kit::DataSetError& e) {
        QVERIFY(e.message().contains(QStringLiteral("não é um valor válido")));
    }
    ds.setValue(QStringLiteral("VALOR"), QStringLiteral("1.234,56"));
    // Nothing is cut below the boxes: a text longer than the column is refused.
    QVERIFY_EXCEPTION_THROWN(
        ds.setValue(QStringLiteral("DESCRICAO"), QString(90, QLatin1Char('A'))), kit::DataSetError);
    ds.setValue(QStringLiteral("DESCRICAO"), QString(70, QLatin1Char('A')));
    QCOMPARE(ds.text(QStringLiteral("DESCRICAO")).size(), 70);  // the column's length
    QVERIFY_EXCEPTION_THROWN(ds.setValue(QStringLiteral("CDAVISO"), QStringLiteral("X1")),
                             kit::DataSetError);
    ds.post();
    QVERIFY(AplicaAtualizacoes(ds));
    QCOMPARE(db_->value(QStringLiteral("SELECT VALOR FROM AVISO")).value<Money>().cents(), 123456);
    QVERIFY_EXCEPTION_THROWN(ds.setValue(QStringLiteral("VALOR"), 1),
                             kit::DataSetError);  // not editing
}

void TstDataSet::textRefusedBelowTheBoxes_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");  // empty: accepted as it is
    QTest::newRow("português") << "NOME" << QStringLiteral("AÇÃO Nº 1º § ÍNDIO") << QString();
    QTest::newRow("no limite") << "NOME" << QString(50, QLatin1Char('X')) << QString();
    QTest::newRow("longo") << "NOME" << QString(51, QLatin1Char('X'))
                           << QStringLiteral(
                                  "O campo NOME aceita no máximo 50 caracteres "
                                  "(foram informados 51).");
    QTest::newRow("emoji") << "CIDADE" << QStringLiteral("OK 😀")
                           << QStringLiteral(
                                  "O campo CIDADE contém caracteres que não podem ser "
                                  "gravados: 😀");
    QTest::newRow("aspas e euro") << "ENDERECO" << QStringLiteral("“A” 10 €")
                                  << QStringLiteral(
                                         "O campo ENDERECO contém caracteres que não "
                                         "podem ser gravados: “ ” €");
}

void TstDataSet::textRefusedBelowTheBoxes() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM FORNECEDOR WHERE CDFORNECEDOR = 1"));
    ds.open();
    ds.edit();
    const QString before = ds.text(field);
    try {
        ds.setValue(field, text);
        QVERIFY2(message.isEmpty(), "accepted");
        QCOMPARE(ds.text(field), text);  // exactly what was given
    } catch (const kit::DataSetError& e) {
        QCOMPARE(e.message(), message);
        QCOMPARE(ds.text(field), before);  // nothing else stored instead
    }
    ds.cancel();
}

void TstDataSet::twoWorkstationsSameSupplier_data() {
    // Workstations A and B read supplier 7; A saves first, then B. Each change is
    // "COLUMN=VALUE" or "DELETE". refused: B's save is refused (nothing of B written,
    // B's typing kept); expected: the row in the database afterwards ("" = gone).
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("expected");  // "NOME|CIDADE|UF"
    QTest::newRow("mesmo campo") << "NOME=DA ESTAÇÃO A"
                                 << "NOME=DA ESTAÇÃO B" << true << "DA ESTAÇÃO A|CAMPINAS|";
    QTest::newRow("mesmo campo, ordem inversa")
        << "NOME=DA ESTAÇÃO B"
        << "NOME=DA ESTAÇÃO A" << true << "DA ESTAÇÃO B|CAMPINAS|";
    QTest::newRow("campo vazio lido") << "UF=SP"
                                      << "UF=MG" << true << "ORIGINAL|CAMPINAS|SP";
    QTest::newRow("excluído antes") << "DELETE"
                                    << "NOME=DA ESTAÇÃO B" << true << "";
    QTest::newRow("alterado antes de excluir") << "CIDADE=SANTOS"
                                               << "DELETE" << true << "ORIGINAL|SANTOS|";
    // Different columns of the same row: each workstation writes only what it changed
    // and both changes are kept (nothing of A is overwritten).
    QTest::newRow("campos diferentes") << "CIDADE=SANTOS"
                                       << "NOME=DA ESTAÇÃO B" << false << "DA ESTAÇÃO B|SANTOS|";
}

namespace {

void change(DataSet& ds, const QString& what) {
    if (what == QLatin1String("DELETE")) {
        ds.remove();
        return;
    }
    ds.edit();
    ds.setValue(what.section(QLatin1Char('='), 0, 0), what.section(QLatin1Char('='), 1));
    ds.post();
}

}  // namespace

void TstDataSet::twoWorkstationsSameSupplier() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, refused);
    QFETCH(QString, expected);
    db_->execute(QStringLiteral("DELETE FROM FORNECEDOR WHERE CDFORNECEDOR = 7"));
    db_->execute(
        QStringLiteral("INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME, CIDADE) VALUES (7, "
                       "'ORIGINAL', 'CAMPINAS')"));
    auto dbA = t_->database();
    auto dbB = t_->database();
    DataSet a(dbA.get()), b(dbB.get());
    for (DataSet* ds : {&a, &b}) {
        ds->setSql(QStringLiteral("SELECT * FROM FORNECEDOR WHERE CDFORNECEDOR = 7"));
        ds->open();
    }
    change(a, first);
    change(b, second);
    QVERIFY(AplicaAtualizacoes(a));
    messages_->clear();
    QCOMPARE(AplicaAtualizacoes(b), !refused);
    if (refused) {
        QCOMPARE(messages_->messages.size(), size_t(1));
        QCOMPARE(messages_->last(), MensagemRegistroAlterado());
        QVERIFY(b.hasPendingChanges());  // the operator's typing is kept
        const kit::ApplyResult again = b.applyUpdates();
        QVERIFY(!again.ok);
        QVERIFY(again.error->isRowChanged());
        QCOMPARE(again.attempts, 1);  // a changed row is refused, never replayed
    } else {
        QVERIFY(messages_->messages.empty());
    }
    auto c = t_->connect();
    fb::Transaction tr(*c, fb::Transaction::Access::ReadOnly);
    fb::Statement s(
        tr, QStringLiteral("SELECT NOME, CIDADE, UF FROM FORNECEDOR WHERE CDFORNECEDOR = 7"));
    s.execute();
    const QString found = s.fetch()
                              ? s.value(0).toString() + QLatin1Char('|') + s.value(1).toString() +
                                    QLatin1Char('|') + s.value(2).toString()
                              : QString();
    QCOMPARE(found, expected);
}

void TstDataSet::extraWrittenInTheSameTransaction() {
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM SECRETARIA WHERE CDSECRETARIA = 0"));
    ds.open();
    ds.append();
    ds.setValue(QStringLiteral("CDSECRETARIA"), 30);
    ds.setValue(QStringLiteral("DESCRICAO"), QStringLiteral("SAÚDE"));
    ds.post();
    int runs = 0;
    QVERIFY(AplicaAtualizacoes(ds, [&](fb::Transaction& tr) {
        ++runs;
        // Sees the data set's row, in the same transaction, before the commit.
        fb::Statement s(tr,
                        QStringLiteral("SELECT COUNT(*) FROM SECRETARIA WHERE CDSECRETARIA = 30"));
        s.execute();
        s.fetch();
        QCOMPARE(s.value(0).toInt(), 1);
        GravaHistorico(tr, 1, QStringLiteral("L"), 30);
    }));
    QCOMPARE(runs, 1);
    QVERIFY(!ds.hasPendingChanges());
    QCOMPARE(db_->value(QStringLiteral("SELECT COUNT(*) FROM HISTORICOUSUARIO WHERE CDLANC = 30 "
                                       "AND TIPO = 'L' AND CDUSUARIO = 1 AND DATA = CURRENT_DATE "
                                       "AND HORA IS NOT NULL"))
                 .toInt(),
             1);
    // Another data set's changes written by extra, marked applied after the commit.
    DataSet other(db_.get());
    other.setSql(QStringLiteral("SELECT * FROM SECRETARIA WHERE CDSECRETARIA = 30"));
    other.open();
    other.edit();
    other.setValue(QStringLiteral("DESCRICAO"), QStringLiteral("SAÚDE PÚBLICA"));
    other.post();
    ds.edit();
    ds.setValue(QStringLiteral("DESCRICAO"), QStringLiteral("SAÚDE"));  // unchanged
    ds.post();
    QVERIFY(AplicaAtualizacoes(ds, [&](fb::Transaction& tr) { other.writePending(tr); }));
    QVERIFY(other.hasPendingChanges());  // not until the caller says so
    other.markApplied();
    QVERIFY(!other.hasPendingChanges());
    QCOMPARE(db_->value(QStringLiteral("SELECT DESCRICAO FROM SECRETARIA WHERE CDSECRETARIA = 30"))
                 .toString(),
             QStringLiteral("SAÚDE PÚBLICA"));
    db_->execute(QStringLiteral("DELETE FROM HISTORICOUSUARIO WHERE CDLANC = 30"));
    db_->execute(QStringLiteral("DELETE FROM SECRETARIA WHERE CDSECRETARIA = 30"));
}

void TstDataSet::refusalOutcomes_data() {
    // A new supplier is saved together with what extra writes; extra fails as the
    // row says. Nothing may be written; the message and whether the typing is kept
    // depend on the cause.
    QTest::addColumn<QString>("failure");  // a statement, or "throw:<codes>" / "kind:..."
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("kept");
    const QString overflow = MensagemRecusa(fb::Error({}, {335544321L, 335544916L}));
    const QString date = MensagemRecusa(fb::Error({}, {335544810L}));
    const QString truncation = MensagemRecusa(fb::Error({}, {335544321L, 335544914L}));
    const QString unique = MensagemRecusa(fb::Error({}, {335544665L}));
    const QString check = MensagemRecusa(fb::Error({}, {335544347L}));
    QTest::newRow("referência a nada")
        << "INSERT INTO HISTORICOUSUARIO (CDHISTORICO, CDUSUARIO) VALUES (901, 999)"
        << MensagemRelacionamentos() << false;
    QTest::newRow("registro com dependentes")
        << "DELETE FROM EMPENHO WHERE CDEMPENHO = 1" << MensagemRelacionamentos() << false;
    QTest::newRow("chave repetida")
        << "INSERT INTO LOCALIDADE (CDLOCAL) VALUES (3)" << unique << false;
    QTest::newRow("regra de valor")
        << "INSERT INTO AVISO (CDAVISO, VALOR) VALUES (901, 10000000000000.00)" << check << false;
    QTest::newRow("número grande demais")
        << "UPDATE ATIVIDADE SET CDATIVIDADE = 40000 WHERE CDATIVIDADE = 1" << overflow << true;
    QTest::newRow("data fora do intervalo")
        << "UPDATE GERAL SET DTBKUP = DATEADD(10 DAY TO DATE '9999-12-31')" << date << true;
    QTest::newRow("texto longo demais")
        << "UPDATE GERAL SET HOSTBKPAUTO = '123456789012345678901234567890'" << truncation << true;
    QTest::newRow("conflito que persistiu")
        << "throw:335544336,335544451" << MensagemConflito() << true;
    QTest::newRow("conexão perdida") << "throw:335544721" << MensagemConexaoPerdida() << true;
    QTest::newRow("alterado em outra estação")
        << "kind:changed" << MensagemRegistroAlterado() << true;
    QTest::newRow("valor recusado antes do banco")
        << "kind:input" << QStringLiteral("O campo X foi recusado.") << true;
}

void TstDataSet::refusalOutcomes() {
    QFETCH(QString, failure);
    QFETCH(QString, message);
    QFETCH(bool, kept);
    db_->setMaxAttempts(3);
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM FORNECEDOR WHERE CDFORNECEDOR = 0"));
    ds.open();
    ds.append();
    ds.setValue(QStringLiteral("CDFORNECEDOR"), 90);
    ds.setValue(QStringLiteral("NOME"), QStringLiteral("NOVO"));
    ds.post();
    const bool ok = AplicaAtualizacoes(ds, [&](fb::Transaction& tr) {
        if (failure.startsWith(QLatin1String("throw:"))) {
            QVector<long> codes;
            for (const QString& c : failure.mid(6).split(QLatin1Char(','))) codes << c.toLong();
            throw fb::Error(QStringLiteral("falha"), codes);
        }
        if (failure == QLatin1String("kind:changed"))
            throw fb::Error(QStringLiteral("alterado"), {}, 0, fb::Error::Kind::RowChanged);
        if (failure == QLatin1String("kind:input"))
            throw kit::DataSetError(QStringLiteral("O campo X foi recusado."));
        tr.executeImmediate(failure);
    });
    db_->setMaxAttempts(8);
    QVERIFY(!ok);
    QCOMPARE(messages_->messages.size(), size_t(1));
    QCOMPARE(messages_->last(), message);
    QCOMPARE(ds.hasPendingChanges(), kept);
    QCOMPARE(ds.recordCount(), kept ? 1 : 0);
    QCOMPARE(db_->value(QStringLiteral("SELECT COUNT(*) FROM FORNECEDOR WHERE CDFORNECEDOR = 90"))
                 .toInt(),
             0);
}

void TstDataSet::refreshKeepsPendingRows() {
    for (int i = 1; i <= 4; ++i)
        db_->execute(
            QStringLiteral("INSERT INTO SECRETARIA (CDSECRETARIA, DESCRICAO) VALUES (:C, "
                           ":D)"),
            {{QStringLiteral("C"), 40 + i}, {QStringLiteral("D"), QStringLiteral("S%1").arg(i)}});
    DataSet ds(db_.get());
    ds.setSql(
        QStringLiteral("SELECT * FROM SECRETARIA WHERE CDSECRETARIA > 40 ORDER BY CDSECRETARIA"));
    ds.open();
    ds.locate(QStringLiteral("CDSECRETARIA"), 41);
    ds.edit();
    ds.setValue(QStringLiteral("DESCRICAO"), QStringLiteral("MUDADA"));
    ds.post();
    ds.locate(QStringLiteral("CDSECRETARIA"), 42);
    ds.remove();
    ds.append();
    ds.setValue(QStringLiteral("CDSECRETARIA"), 49);
    ds.setValue(QStringLiteral("DESCRICAO"), QStringLiteral("NOVA"));
    ds.post();
    // Meanwhile, another workstation.
    db_->execute(
        QStringLiteral("UPDATE SECRETARIA SET DESCRICAO = 'DE FORA' WHERE CDSECRETARIA = 43"));
    db_->execute(
        QStringLiteral("INSERT INTO SECRETARIA (CDSECRETARIA, DESCRICAO) VALUES (45, 'S5')"));
    ds.edit();
    QVERIFY_EXCEPTION_THROWN(ds.refresh(), kit::DataSetError);  // not over a row in edit
    ds.cancel();
    ds.refresh();
    QCOMPARE(ds.pendingCount(), 3);
    QStringList seen;
    for (int i = 0; i < ds.recordCount(); ++i)
        seen << ds.valueAt(i, QStringLiteral("CDSECRETARIA")).toString() + QLatin1Char('=') +
                    ds.valueAt(i, QStringLiteral("DESCRICAO")).toString();
    QCOMPARE(seen, (QStringList{"41=MUDADA", "43=DE FORA", "44=S4", "45=S5", "49=NOVA"}));
    QCOMPARE(ds.text(QStringLiteral("DESCRICAO")), QStringLiteral("NOVA"));  // still current
    QVERIFY(AplicaAtualizacoes(ds));
    DataSet check(db_.get());
    check.setSql(ds.sql());
    check.open();
    QStringList stored;
    for (int i = 0; i < check.recordCount(); ++i)
        stored << check.valueAt(i, QStringLiteral("CDSECRETARIA")).toString() + QLatin1Char('=') +
                      check.valueAt(i, QStringLiteral("DESCRICAO")).toString();
    QCOMPARE(stored, seen);
    db_->execute(QStringLiteral("DELETE FROM SECRETARIA WHERE CDSECRETARIA > 40"));
}

void TstDataSet::exactNumbersOfEveryScale_data() {
    // A value written to a column and what the column then holds (as the database
    // writes it out itself), read back exactly; "recusado": refused before the
    // database with a message, nothing written.
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("kind");  // money, decimal, integer
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    QTest::newRow("dinheiro em 1 casa") << "S1"
                                        << "money"
                                        << "10,55"
                                        << "10.6";
    QTest::newRow("dinheiro negativo em 1 casa") << "S1"
                                                 << "money"
                                                 << "-10,55"
                                                 << "-10.6";
    QTest::newRow("dinheiro em escala 0") << "S0"
                                          << "money"
                                          << "1,50"
                                          << "2";
    QTest::newRow("dinheiro em inteiro") << "I"
                                         << "money"
                                         << "2,50"
                                         << "3";
    QTest::newRow("dinheiro negativo em inteiro") << "I"
                                                  << "money"
                                                  << "-2,50"
                                                  << "-3";
    QTest::newRow("dinheiro abaixo da metade") << "I"
                                               << "money"
                                               << "2,49"
                                               << "2";
    QTest::newRow("dinheiro no limite") << "S2"
                                        << "money"
                                        << "9.999.999.999.999,99"
                                        << "9999999999999.99";
    QTest::newRow("3 casas em 2") << "S2"
                                  << "decimal"
                                  << "1,235"
                                  << "1.24";
    QTest::newRow("3 casas negativas em 2") << "S2"
                                            << "decimal"
                                            << "-1,235"
                                            << "-1.24";
    QTest::newRow("4 casas em 3") << "S3"
                                  << "decimal"
                                  << "1,0005"
                                  << "1.001";
    QTest::newRow("5 casas em 4") << "S4"
                                  << "decimal"
                                  << "0,00005"
                                  << "0.0001";
    QTest::newRow("1 casa em 4") << "S4"
                                 << "decimal"
                                 << "-123,4"
                                 << "-123.4000";
    QTest::newRow("inteiro em 3 casas") << "S3"
                                        << "integer"
                                        << "5"
                                        << "5.000";
    QTest::newRow("18 dígitos em 4 casas") << "S4"
                                           << "decimal"
                                           << "99999999999999,9999"
                                           << "99999999999999.9999";
    QTest::newRow("18 dígitos arredondados") << "S3"
                                             << "decimal"
                                             << "99999999999999,9999"
                                             << "100000000000000.000";
    QTest::newRow("18 dígitos inteiros") << "S0"
                                         << "decimal"
                                         << "-999999999999999999"
                                         << "-999999999999999999";
    QTest::newRow("19 dígitos em 4 casas") << "S4"
                                           << "decimal"
                                           << "999999999999999,999"
                                           << "recusado";
    QTest::newRow("além de numeric(4,2)") << "P2"
                                          << "decimal"
                                          << "400"
                                          << "recusado";
    QTest::newRow("além do inteiro") << "I"
                                     << "decimal"
                                     << "2147483648"
                                     << "recusado";
    QTest::newRow("dinheiro além do inteiro") << "I"
                                              << "integer"
                                              << "184467440737095516"
                                              << "recusado";
}

void TstDataSet::exactNumbersOfEveryScale() {
    QFETCH(QString, column);
    QFETCH(QString, kind);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    db_->execute(QStringLiteral("UPDATE ESCALAS SET %1 = NULL").arg(column));
    QVariant v;
    if (kind == QLatin1String("money"))
        v = QVariant::fromValue(*Money::parse(value));
    else if (kind == QLatin1String("decimal"))
        v = QVariant::fromValue(*kit::Decimal::parse(value));
    else
        v = value.toLongLong();
    try {
        db_->execute(QStringLiteral("UPDATE ESCALAS SET %1 = :V").arg(column),
                     {{QStringLiteral("V"), v}});
        QVERIFY2(stored != QLatin1String("recusado"), "accepted");
    } catch (const fb::Error& e) {
        QVERIFY2(stored == QLatin1String("recusado"), qPrintable(e.message()));
        QCOMPARE(e.kind(), fb::Error::Kind::Input);
        QVERIFY(db_->value(QStringLiteral("SELECT %1 FROM ESCALAS").arg(column)).isNull());
        return;
    }
    QCOMPARE(db_->value(QStringLiteral("SELECT CAST(%1 AS VARCHAR(30)) FROM ESCALAS").arg(column))
                 .toString(),
             stored);
    // Read back exactly: scale 2 as money, any other scale as a decimal, integers as such.
    const QVariant back = db_->value(QStringLiteral("SELECT %1 FROM ESCALAS").arg(column));
    QString plain;
    if (column == QLatin1String("S2") || column == QLatin1String("P2"))
        plain = back.value<Money>().toPlain();
    else if (column == QLatin1String("I") || column == QLatin1String("S0"))
        plain = QString::number(back.toLongLong());
    else
        plain = back.value<kit::Decimal>().toPlain();
    QCOMPARE(back.metaType(), column == QLatin1String("S2") ? QMetaType::fromType<Money>()
                              : column == QLatin1String("I") || column == QLatin1String("S0")
                                  ? QMetaType::fromType<qlonglong>()
                                  : QMetaType::fromType<kit::Decimal>());
    QCOMPARE(plain, stored);
    // Through a data set the same rounding happens at the field.
    DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM ESCALAS"));
    ds.open();
    ds.edit();
    ds.setValue(column, v);
    const QVariant field = ds.value(column);
    QString fieldPlain = field.metaType() == QMetaType::fromType<Money>()
                             ? field.value<Money>().toPlain()
                         : field.metaType() == QMetaType::fromType<kit::Decimal>()
                             ? field.value<kit::Decimal>().toPlain()
                             : QString::number(field.toLongLong());
    QCOMPARE(fieldPlain, stored);
    ds.cancel();
}

void TstDataSet::pictureChangedElsewhere() {
    // Blobs cannot be compared by the database: they are compared after a row lock.
    db_->execute(QStringLiteral("DELETE FROM EMPRESA"));
    db_->execute(QStringLiteral("INSERT INTO EMPRESA (CDEMPRESA, NOME, FOTO) VALUES (1, "
                                "'PREFEITURA', :F)"),
                 {{QStringLiteral("F"), QByteArray("logo antigo")}});
    auto dbA = t_->database();
    auto dbB = t_->database();
    DataSet a(dbA.get()), b(dbB.get());
    for (DataSet* ds : {&a, &b}) {
        ds->setSql(QStringLiteral("SELECT * FROM EMPRESA"));
        ds->open();
        ds->edit();
    }
    a.setValue(QStringLiteral("FOTO"), QByteArray("logo de A"));
    b.setValue(QStringLiteral("FOTO"), QByteArray("logo de B"));
    QVERIFY(a.applyUpdates().ok);
    const kit::ApplyResult r = b.applyUpdates();
    QVERIFY(!r.ok);
    QVERIFY(r.error->isRowChanged());
    QCOMPARE(db_->value(QStringLiteral("SELECT FOTO FROM EMPRESA")).toByteArray(),
             QByteArray("logo de A"));
    // Deleting a row whose picture changed since it was read is refused as well.
    b.cancelUpdates();
    b.remove();
    QVERIFY(b.applyUpdates().error->isRowChanged());
    QCOMPARE(db_->value(QStringLiteral("SELECT COUNT(*) FROM EMPRESA")).toInt(), 1);
    // Read again, B's change goes through.
    b.cancelUpdates();
    b.refresh();
    b.edit();
    b.setValue(QStringLiteral("FOTO"), QByteArray("logo de B"));
    QVERIFY(b.applyUpdates().ok);
    QCOMPARE(db_->value(QStringLiteral("SELECT FOTO FROM EMPRESA")).toByteArray(),
             QByteArray("logo de B"));
    db_->execute(QStringLiteral("DELETE FROM EMPRESA"));
}

QTEST_GUILESS_MAIN(TstDataSet)
#include "tst_dataset.moc"
