// The data-set layer: states, pending changes and their apply, filter,
// master-detail, lookups, and refusals surfacing through AplicaAtualizacoes.

#include <QtTest>

#include "data/U_Biblioteca.h"
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
    ds.setValue(QStringLiteral("DESCRICAO"), QString(90, QLatin1Char('A')) + QStringLiteral("“"));
    QCOMPARE(ds.text(QStringLiteral("DESCRICAO")).size(), 70);  // the column's length
    QVERIFY_EXCEPTION_THROWN(ds.setValue(QStringLiteral("CDAVISO"), QStringLiteral("X1")),
                             kit::DataSetError);
    ds.post();
    QVERIFY(AplicaAtualizacoes(ds));
    QCOMPARE(db_->value(QStringLiteral("SELECT VALOR FROM AVISO")).value<Money>().cents(), 123456);
    QVERIFY_EXCEPTION_THROWN(ds.setValue(QStringLiteral("VALOR"), 1),
                             kit::DataSetError);  // not editing
}

QTEST_GUILESS_MAIN(TstDataSet)
#include "tst_dataset.moc"
