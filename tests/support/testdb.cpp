#include "testdb.h"

#include <QProcess>
#include <QUuid>

#include "data/criacao.h"
#include "kit/core/messages.h"

std::unique_ptr<TestDatabase> TestDatabase::embedded(bool demo) {
    std::unique_ptr<TestDatabase> t(new TestDatabase);
    t->params_.database = t->dir_.filePath(QStringLiteral("teste.fdb"));
    data::createDatabase(t->params_, demo);
    return t;
}

bool TestDatabase::serverConfigured() {
    return !qEnvironmentVariableIsEmpty("ZEL_TEST_SERVER");
}

std::unique_ptr<TestDatabase> TestDatabase::server(bool demo) {
    if (!serverConfigured())
        return nullptr;
    std::unique_ptr<TestDatabase> t(new TestDatabase);
    t->onServer_ = true;
    t->params_.database = QStringLiteral("%1:%2/%3.fdb")
                              .arg(qEnvironmentVariable("ZEL_TEST_SERVER"),
                                   qEnvironmentVariable("ZEL_TEST_SERVER_DIR"),
                                   QUuid::createUuid().toString(QUuid::Id128));
    t->params_.password = qEnvironmentVariable("ZEL_TEST_SERVER_PASSWORD");
    data::createDatabase(t->params_, demo);
    return t;
}

TestDatabase::~TestDatabase() {
    if (onServer_) {
        try {
            fb::Connection c(params_);
            c.drop();
        } catch (...) {
        }
    }
}

namespace {

bool gfix(const QString& database, const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("gfix"),
            args + QStringList{QStringLiteral("-user"), QStringLiteral("SYSDBA"), database});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

bool TestDatabase::shutDown() const {
    return gfix(params_.database, {QStringLiteral("-shut"), QStringLiteral("full"),
                                   QStringLiteral("-force"), QStringLiteral("0")});
}

bool TestDatabase::bringOnline() const {
    return gfix(params_.database, {QStringLiteral("-online"), QStringLiteral("normal")});
}

std::unique_ptr<kit::Database> TestDatabase::database() const {
    auto db = std::make_unique<kit::Database>(params_);
    db->open();
    return db;
}

void TestDatabase::addFixtureRows() {
    fb::Connection c(params_);
    fb::Transaction tr(c);
    for (const char* sql :
         {"INSERT INTO RECURSO (CDRECURSO, NOME, NUMCONTA, BANCO) VALUES (1, 'MOVIMENTO', "
          "'1234-5', 'BANCO DO BRASIL')",
          "INSERT INTO RECURSO (CDRECURSO, NOME, NUMCONTA, BANCO) VALUES (2, 'FUNDEB', '9876-0', "
          "'CAIXA')",
          "INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (1, 'MATERIAL DE EXPEDIENTE')",
          "INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME) VALUES (1, 'PAPELARIA CENTRAL')",
          "INSERT INTO LOCALIDADE (CDLOCAL, DESCRICAO) VALUES (3, 'C. INTERNO')",
          "INSERT INTO EMPENHO (CDEMPENHO, NUMEMPENHO, VALOREMPENHO, VALORPAGO, CDFORNECEDOR) "
          "VALUES (1, '10/2026', 500, 0, 1)",
          "INSERT INTO EMPENHO (CDEMPENHO, NUMEMPENHO, VALOREMPENHO, VALORPAGO, CDFORNECEDOR) "
          "VALUES (2, '11/2026', 500, 0, 1)",
          "INSERT INTO NOTA (CDNOTAS, CDEMPENHO, NUMNOTA, VALORBRUTO, SALDO, CDLOCAL) VALUES (1, "
          "1, '501', 100, 100, 3)",
          "INSERT INTO NOTA (CDNOTAS, CDEMPENHO, NUMNOTA, VALORBRUTO, SALDO, CDLOCAL) VALUES (2, "
          "2, '502', 300, 300, 3)"})
        tr.executeImmediate(QString::fromLatin1(sql));
    tr.commit();
}

kit::RecordingMessageService* recordMessages() {
    auto recorder = std::make_unique<kit::RecordingMessageService>();
    kit::RecordingMessageService* raw = recorder.get();
    kit::setMessageService(std::move(recorder));
    return raw;
}
