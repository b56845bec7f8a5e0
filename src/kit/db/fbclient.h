#pragma once

// A thin C++ layer over Firebird's own client library (ibase.h): attachments,
// READ COMMITTED transactions, prepared statements with named parameters, exact
// NUMERIC values and blobs. Text travels in ISO8859_1.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <stdexcept>

#include "kit/core/decimal.h"
#include "kit/core/money.h"

namespace fb {

// What went wrong, as Firebird reported it (or as this layer found before asking it).
class Error : public std::runtime_error {
public:
    // Database: the server (or the client library) reported it. Input: a value was
    // refused before it reached the database. RowChanged: a row to be changed or
    // deleted was changed or deleted by another workstation since it was read.
    enum class Kind { Database, Input, RowChanged };

    Error(QString message, QVector<long> codes = {}, int sqlCode = 0, Kind kind = Kind::Database,
          int systemError = 0);

    const QString& message() const { return message_; }
    const QVector<long>& codes() const { return codes_; }
    int sqlCode() const { return sqlCode_; }
    Kind kind() const { return kind_; }
    // The operating system's error number the engine reported (errno), or 0.
    int systemError() const { return systemError_; }
    bool hasCode(long code) const { return codes_.contains(code); }

    // Another transaction held the same row (lock conflict, deadlock, update
    // conflict after waiting): worth applying again, in a new transaction.
    bool isConflict() const;
    // The row was changed or deleted elsewhere since it was read (never retried).
    bool isRowChanged() const { return kind_ == Kind::RowChanged; }
    // A reference, key, check or not-null rule of the database refused the change.
    bool isConstraintViolation() const;
    // The causes, one by one.
    // A row other rows point to, or a reference to a row that does not exist.
    bool isReferenceViolation() const;
    // A primary or unique key already taken.
    bool isUniqueViolation() const;
    // A check of a table or domain, or a required column left empty.
    bool isCheckViolation() const;
    // A number beyond its column, or an arithmetic error.
    bool isNumericOverflow() const;
    // A date the database cannot hold.
    bool isDateOutOfRange() const;
    // A text longer than its column.
    bool isStringTruncation() const;
    // A character the database's character set has no place for.
    bool isTransliteration() const;
    // The connection to the database is gone (server down, network, shutdown).
    bool isConnectionLost() const;
    // The server could not be reached at all, or refused the user name or password.
    bool isUnavailable() const;
    bool isLoginRefused() const;

private:
    QString message_;
    QVector<long> codes_;
    int sqlCode_;
    Kind kind_;
    int systemError_;
};

// No password is built in: the embedded engine needs none (the file's permissions
// guard it) and a server's comes from the configuration. User name, password and
// role travel with a one-byte length: longer than 255 bytes is refused before the
// client library is called.
struct ConnectParams {
    QString database;  // a local path (embedded engine) or "host[/port]:/path"
    QString user = QStringLiteral("SYSDBA");
    QString password;
    QString role;
    QString charset = QStringLiteral("ISO8859_1");

    // True for "host:/path", "host/port:path" and "inet://" strings.
    bool isRemote() const;
};

// Prepares the process for Firebird's embedded engine before the first attach:
// a configuration folder of the process's own with ServerMode = SuperClassic (so
// that the program, a second window, the administration tool and a backup can all
// open the same file) and the user's lock folder, shared by the user's processes.
// Both live in a folder of the user's own (TMPDIR or /tmp, "tesouraria-firebird-UID",
// mode 0700, checked); the configuration is written fresh in a new folder made with
// mkdtemp and read back, and removed when the process ends. Respects FIREBIRD and
// FIREBIRD_LOCK when they are already set. Throws an Input error, fit to show, when
// the folders cannot be made safe (then no embedded attach is made).
void prepareEmbeddedEnvironment();

class Transaction;

class Connection {
public:
    explicit Connection(const ConnectParams& params);  // attaches; throws Error
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Creates a new database (dialect 3, default character set ISO8859_1) and
    // returns a connection to it.
    static std::unique_ptr<Connection> create(const ConnectParams& params, int pageSize = 8192);

    const ConnectParams& params() const { return params_; }
    void* handle() { return &db_; }
    bool isAttached() const { return db_ != 0; }
    // Detaches and attaches again with the same parameters.
    void reconnect();
    // Drops the database file (tests and failed creations).
    void drop();

private:
    Connection() = default;
    void attach();
    ConnectParams params_;
    unsigned int db_ = 0;
};

class Transaction {
public:
    enum class Access { ReadWrite, ReadOnly };
    // ReadCommitted (record versions, WAIT): the isolation the screens work under;
    // each statement sees what was committed when it ran.
    // Snapshot: every statement sees the database as it was when the transaction
    // started (consistent reads across several statements, as the check needs).
    enum class Isolation { ReadCommitted, Snapshot };
    explicit Transaction(Connection& connection, Access access = Access::ReadWrite,
                         Isolation isolation = Isolation::ReadCommitted);
    ~Transaction();  // rolls back unless committed
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    void rollback();
    bool isActive() const { return tr_ != 0; }
    Connection& connection() { return connection_; }
    void* handle() { return &tr_; }

    // Runs a statement without parameters or result (DDL, scripts).
    void executeImmediate(const QString& sql);

private:
    Connection& connection_;
    unsigned int tr_ = 0;
};

enum class FieldType {
    Integer,
    Money,
    Decimal,
    Double,
    Text,
    Date,
    Time,
    Timestamp,
    Blob,
    TextBlob,
    Boolean
};

struct Column {
    QString name;      // alias, as the select names it
    QString relation;  // table it comes from, empty for expressions
    QString field;     // column of that table
    FieldType type = FieldType::Text;
    int length = 0;  // characters for text
    int scale = 0;   // decimal digits for exact numerics
    bool nullable = true;
};

// A prepared statement. Parameters are written ":NAME" in the text (case does not
// matter) and bound by name; a name used twice is bound once.
// Values are converted to the parameter's type without losing anything silently:
// kit::Money and kit::Decimal meet an exact numeric of another scale (or an integer)
// rounded half away from zero, a value beyond the column is refused; text must be
// ISO8859_1 and at most kMaxTextBytes long (longer texts go to blobs). Refusals are
// Error::Kind::Input, raised before anything reaches the client library.
class Statement {
public:
    // The longest text a non-blob parameter can carry (a VARCHAR's limit).
    static constexpr int kMaxTextBytes = 32765;

    Statement(Transaction& transaction, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const QStringList& parameterNames() const { return paramNames_; }
    bool hasParameter(const QString& name) const;
    void bind(const QString& name, const QVariant& value);
    void bind(int index, const QVariant& value);

    // Runs the statement; a select then hands its rows to fetch().
    void execute();
    bool fetch();
    // Rows changed by the last insert, update or delete.
    int rowsAffected();

    int columnCount() const { return columns_.size(); }
    const QVector<Column>& columns() const { return columns_; }
    int columnIndex(const QString& name) const;
    // Integers as qlonglong, numerics of scale 2 as kit::Money, of any other scale as
    // kit::Decimal (exact), text as QString, blobs as QByteArray (text blobs QString).
    QVariant value(int column);
    QVariant value(const QString& name) { return value(columnIndex(name)); }

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
    Transaction& tr_;
    QStringList paramNames_;         // distinct names, upper case
    QVector<int> paramSlots_;        // for each '?', the index into paramNames_
    QVector<QVariant> paramValues_;  // by distinct name
    QVector<Column> columns_;
    bool isSelect_ = false;
    bool isProcedure_ = false;
    bool fetchedProcedureRow_ = false;
};

// Turns ":NAME" parameters into positional markers, outside quotes and comments.
// Returns the rewritten text; names holds each marker's parameter, in order.
QString translateNamedParameters(const QString& sql, QStringList* names);

// Runs a query that returns one value (first column of the first row); null when no row.
QVariant queryValue(Connection& connection, const QString& sql,
                    const QList<QPair<QString, QVariant>>& params = {});

}  // namespace fb
