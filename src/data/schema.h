#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <stdexcept>

#include "kit/db/fbclient.h"

namespace data {

// One step of the database's history: the script that takes a database from the
// version before to this one.
struct SchemaStep {
    int version;
    QString script;
    // What keeps an older database from taking this step (rows the new rules would
    // refuse), described for the operator; empty when nothing does. Runs before any
    // step of an upgrade, so a refused upgrade changes nothing.
    std::function<QString(fb::Connection&)> precheck = {};
    // Each statement commits on its own (a step that creates objects and then uses
    // them); otherwise the whole step, with its version row, is one transaction.
    bool separateCommits = false;
};

// The steps this program knows, from an empty database to its own version.
const QVector<SchemaStep>& schemaSteps();
// The version of the database this program works with.
int programSchemaVersion();

// Refusal to work with a database: its message is fit to show.
class SchemaError : public std::runtime_error {
public:
    explicit SchemaError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Splits a script into statements: ";" ends a statement until "SET TERM x ;"
// names another terminator; quotes and comments are respected.
QStringList splitScript(const QString& script);

// Version recorded in the database; -1 when it has none (not one of ours).
int databaseVersion(fb::Connection& connection);

// Runs every step on a new, empty database.
void createSchema(fb::Connection& connection, const QVector<SchemaStep>& steps = schemaSteps());

// Brings the database to the program's version: runs the steps it lacks; refuses a
// database that is newer than the program or not a treasury database, and one whose
// rows a step's new rules would refuse (SchemaError naming them; the database stays
// at the version it had).
// Returns the version it found.
int upgradeSchema(fb::Connection& connection, const QVector<SchemaStep>& steps = schemaSteps());

// The rows every database starts with: the general settings row (code 1) and an
// administrator group and master user (code 1, login ADMIN, the password given).
void insertBaseRows(fb::Connection& connection, const QString& adminPassword);

}  // namespace data
