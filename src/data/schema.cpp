#include "schema.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <memory>

// Resources of a static library are registered by hand.
static void initSchemaResources() {
    Q_INIT_RESOURCE(schema);
}

namespace data {

namespace {

// Contracts whose modality does not exist would make the reference refuse the step.
QString contractsWithoutModality(fb::Connection& connection) {
    fb::Transaction tr(connection, fb::Transaction::Access::ReadOnly);
    fb::Statement s(tr, QStringLiteral("SELECT C.CDMODALIDADE, COUNT(*) FROM CONTRATO C "
                                       "WHERE C.CDMODALIDADE IS NOT NULL AND NOT EXISTS "
                                       "(SELECT 1 FROM MODALIDADE M WHERE M.CDMODALIDADE = "
                                       "C.CDMODALIDADE) GROUP BY C.CDMODALIDADE ORDER BY 1"));
    s.execute();
    int rows = 0;
    QStringList codes;
    while (s.fetch()) {
        rows += s.value(1).toInt();
        codes << s.value(0).toString();
    }
    tr.commit();
    if (rows == 0)
        return {};
    return QStringLiteral(
               "%1 contrato(s) apontam para modalidades que não existem (código(s) "
               "de modalidade: %2). Cadastre essas modalidades ou corrija a "
               "modalidade desses contratos e atualize de novo.")
        .arg(rows)
        .arg(codes.join(QStringLiteral(", ")));
}

}  // namespace

const QVector<SchemaStep>& schemaSteps() {
    static const QVector<SchemaStep> steps = [] {
        initSchemaResources();
        QVector<SchemaStep> s;
        const QStringList files = {QStringLiteral(":/schema/001-base.sql"),
                                   QStringLiteral(":/schema/002-contrato-modalidade.sql"),
                                   QStringLiteral(":/schema/003-travas-nota-empenho.sql"),
                                   QStringLiteral(":/schema/004-recurso-saldos.sql")};
        int version = 0;
        for (const QString& name : files) {
            QFile f(name);
            if (!f.open(QIODevice::ReadOnly))
                throw SchemaError(QStringLiteral("Script ausente: ") + name);
            s.append({++version, QString::fromUtf8(f.readAll())});
        }
        s[0].separateCommits = true;  // creates the tables, then the code that uses them
        s[1].precheck = contractsWithoutModality;
        return s;
    }();
    return steps;
}

int programSchemaVersion() {
    return schemaSteps().size();
}

QStringList splitScript(const QString& script) {
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    const int n = script.size();
    int i = 0;
    auto flush = [&] {
        const QString s = current.trimmed();
        if (!s.isEmpty()) {
            static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                                    QRegularExpression::CaseInsensitiveOption);
            const auto m = setTerm.match(s);
            if (m.hasMatch())
                terminator = m.captured(1);
            else
                statements << s;
        }
        current.clear();
    };
    while (i < n) {
        const QChar c = script[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = script.indexOf(c, i + 1);
            const int stop = end < 0 ? n : end + 1;
            current += QStringView(script).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            const int end = script.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end;
        } else if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            const int end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            current += QLatin1Char(' ');
        } else if (QStringView(script).mid(i).startsWith(terminator)) {
            i += terminator.size();
            flush();
        } else {
            current += c;
            ++i;
        }
    }
    flush();
    return statements;
}

namespace {

void runStep(fb::Connection& connection, const SchemaStep& step) {
    // A step that creates objects and then uses them commits each statement on its
    // own: Firebird lets new objects be used only after the transaction that made
    // them has ended. Any other step is one transaction with its version row: all of
    // it or nothing.
    std::unique_ptr<fb::Transaction> whole;
    if (!step.separateCommits)
        whole = std::make_unique<fb::Transaction>(connection);
    for (const QString& statement : splitScript(step.script)) {
        std::unique_ptr<fb::Transaction> own;
        fb::Transaction& tr =
            whole ? *whole : *(own = std::make_unique<fb::Transaction>(connection));
        try {
            tr.executeImmediate(statement);
        } catch (const fb::Error& e) {
            throw fb::Error(QStringLiteral("Erro na versão %1 do banco de dados:\n%2\n\n%3")
                                .arg(step.version)
                                .arg(e.message(), statement.left(300)),
                            e.codes(), e.sqlCode());
        }
        if (own)
            own->commit();
    }
    std::unique_ptr<fb::Transaction> own;
    fb::Transaction& tr = whole ? *whole : *(own = std::make_unique<fb::Transaction>(connection));
    fb::Statement s(tr,
                    QStringLiteral("INSERT INTO VERSAOBD (VERSAO, DTATUALIZACAO) VALUES (:V, :T)"));
    s.bind(QStringLiteral("V"), step.version);
    s.bind(QStringLiteral("T"), QDateTime::currentDateTime());
    s.execute();
    tr.commit();
}

}  // namespace

int databaseVersion(fb::Connection& connection) {
    fb::Transaction tr(connection, fb::Transaction::Access::ReadOnly);
    fb::Statement exists(
        tr,
        QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'VERSAOBD'"));
    exists.execute();
    exists.fetch();
    if (exists.value(0).toInt() == 0)
        return -1;
    fb::Statement s(tr, QStringLiteral("SELECT MAX(VERSAO) FROM VERSAOBD"));
    s.execute();
    s.fetch();
    const QVariant v = s.value(0);
    tr.commit();
    return v.isNull() ? 0 : v.toInt();
}

void createSchema(fb::Connection& connection, const QVector<SchemaStep>& steps) {
    for (const SchemaStep& step : steps) runStep(connection, step);
}

int upgradeSchema(fb::Connection& connection, const QVector<SchemaStep>& steps) {
    const int found = databaseVersion(connection);
    const int latest = steps.isEmpty() ? 0 : steps.last().version;
    if (found < 0)
        throw SchemaError(QStringLiteral("O banco de dados \"%1\" não é um banco de dados da "
                                         "Tesouraria (não registra sua versão).")
                              .arg(connection.params().database));
    if (found > latest)
        throw SchemaError(
            QStringLiteral(
                "O banco de dados \"%1\" está na versão %2, mais nova que a deste programa "
                "(versão %3).\nAtualize o programa antes de usar este banco de dados.")
                .arg(connection.params().database)
                .arg(found)
                .arg(latest));
    // What would stop a step is found before the first one runs: a refused upgrade
    // leaves the database exactly at the version it had.
    QStringList problems;
    for (const SchemaStep& step : steps)
        if (step.version > found && step.precheck) {
            const QString problem = step.precheck(connection);
            if (!problem.isEmpty())
                problems << problem;
        }
    if (!problems.isEmpty())
        throw SchemaError(
            QStringLiteral("O banco de dados \"%1\" não pode ser atualizado da versão %2 para "
                           "a versão %3:\n%4\nNada foi alterado: o banco de dados continua na "
                           "versão %2.")
                .arg(connection.params().database)
                .arg(found)
                .arg(latest)
                .arg(problems.join(QLatin1Char('\n'))));
    for (const SchemaStep& step : steps)
        if (step.version > found)
            runStep(connection, step);
    return found;
}

void insertBaseRows(fb::Connection& connection, const QString& adminPassword) {
    fb::Transaction tr(connection);
    tr.executeImmediate(QStringLiteral(
        "INSERT INTO GERAL (CDGERAL, ATIVABKPAUTO, DIAS_AVISAVENC) VALUES (1, 'N', 15)"));
    tr.executeImmediate(
        QStringLiteral("INSERT INTO GRUPO (CDGRUPO, DESCRICAO) VALUES (1, 'ADMINISTRADORES')"));
    fb::Statement admin(
        tr, QStringLiteral("INSERT INTO USUARIO (CDUSUARIO, CDGRUPO, NOME, LOGIN, SENHA, MARTER, "
                           "HABILITADO, SETOR, VEAVISO, ALTERAEMP_LICITACAO) VALUES (1, 1, "
                           "'ADMINISTRADOR', 'ADMIN', :SENHA, 'S', 'S', 'TESOURARIA', 'S', 'S')"));
    admin.bind(QStringLiteral("SENHA"), adminPassword);
    admin.execute();
    tr.commit();
}

}  // namespace data
