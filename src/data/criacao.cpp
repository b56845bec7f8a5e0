#include "criacao.h"

#include <QRandomGenerator>

#include "demodata.h"
#include "schema.h"

namespace data {

namespace {

QStringList userObjects(fb::Connection& connection, const QString& sql) {
    fb::Transaction tr(connection, fb::Transaction::Access::ReadOnly);
    fb::Statement s(tr, sql);
    s.execute();
    QStringList names;
    while (s.fetch()) names << s.value(0).toString().trimmed();
    tr.commit();
    return names;
}

QString quoted(const QString& identifier) {
    QString q = identifier;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString sqlString(const QString& text) {
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

}  // namespace

QString generatePassword(int length) {
    static const QString alphabet = QStringLiteral("ABCDEFGHJKLMNPQRSTUVWXYZ23456789");
    QString p;
    for (int i = 0; i < length; ++i)
        p += alphabet.at(static_cast<int>(
            QRandomGenerator::system()->bounded(static_cast<quint32>(alphabet.size()))));
    return p;
}

QString checkAdminPassword(const QString& password) {
    if (password.isEmpty())
        return QStringLiteral("A senha do administrador não pode ser vazia.");
    if (password.size() > 8)
        return QStringLiteral("A senha do administrador tem no máximo 8 caracteres.");
    for (const QChar c : password)
        if (c.isSpace() || c.unicode() > 0xFF || c.unicode() < 0x20)
            return QStringLiteral(
                "A senha do administrador não pode ter espaços nem "
                "caracteres especiais.");
    return {};
}

QString createDatabase(const fb::ConnectParams& params, bool withDemonstrationData,
                       const QString& adminPassword) {
    QString password = adminPassword.toUpper();
    if (password.isEmpty())
        password =
            withDemonstrationData ? QString::fromLatin1(kDemoAdminPassword) : generatePassword(8);
    const QString problem = checkAdminPassword(password);
    if (!problem.isEmpty())
        throw SchemaError(problem);
    std::unique_ptr<fb::Connection> connection = fb::Connection::create(params);
    try {
        createSchema(*connection);
        insertBaseRows(*connection, password);
        if (withDemonstrationData)
            fillDemonstrationData(*connection);
        grantProgramRole(*connection);
    } catch (...) {
        try {
            connection->drop();
        } catch (...) {
        }
        throw;
    }
    return password;
}

void grantProgramRole(fb::Connection& connection) {
    const QString role = quoted(QString::fromLatin1(kProgramRole));
    const bool exists =
        fb::queryValue(connection,
                       QStringLiteral("SELECT COUNT(*) FROM RDB$ROLES WHERE RDB$ROLE_NAME = :R"),
                       {{QStringLiteral("R"), QString::fromLatin1(kProgramRole)}})
            .toInt() > 0;
    if (!exists) {
        fb::Transaction tr(connection);
        tr.executeImmediate(QStringLiteral("CREATE ROLE ") + role);
        tr.commit();
    }
    const QStringList tables = userObjects(
        connection, QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS "
                                   "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"));
    const QStringList procedures = userObjects(
        connection, QStringLiteral("SELECT RDB$PROCEDURE_NAME FROM RDB$PROCEDURES "
                                   "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"));
    const QStringList sequences = userObjects(
        connection, QStringLiteral("SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS "
                                   "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"));
    fb::Transaction tr(connection);
    for (const QString& t : tables)
        tr.executeImmediate(QStringLiteral("GRANT %1 ON %2 TO ROLE %3")
                                .arg(t == QLatin1String("VERSAOBD")
                                         ? QStringLiteral("SELECT")
                                         : QStringLiteral("SELECT, INSERT, UPDATE, DELETE"),
                                     quoted(t), role));
    for (const QString& p : procedures)
        tr.executeImmediate(
            QStringLiteral("GRANT EXECUTE ON PROCEDURE %1 TO ROLE %2").arg(quoted(p), role));
    for (const QString& g : sequences)
        tr.executeImmediate(
            QStringLiteral("GRANT USAGE ON SEQUENCE %1 TO ROLE %2").arg(quoted(g), role));
    tr.commit();
}

bool ensureProgramUser(fb::Connection& connection, const QString& user, const QString& password) {
    const bool exists =
        fb::queryValue(connection,
                       QStringLiteral("SELECT COUNT(*) FROM SEC$USERS WHERE SEC$USER_NAME = :U"),
                       {{QStringLiteral("U"), user.toUpper()}})
            .toInt() > 0;
    if (!exists) {
        fb::Transaction tr(connection);
        tr.executeImmediate(QStringLiteral("CREATE USER %1 PASSWORD %2")
                                .arg(quoted(user.toUpper()), sqlString(password)));
        tr.commit();
    }
    fb::Transaction tr(connection);
    tr.executeImmediate(
        QStringLiteral("GRANT %1 TO USER %2")
            .arg(quoted(QString::fromLatin1(kProgramRole)), quoted(user.toUpper())));
    tr.commit();
    return !exists;
}

}  // namespace data
