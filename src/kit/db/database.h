#pragma once

#include <QVariant>
#include <functional>
#include <memory>

#include "kit/db/fbclient.h"

namespace kit {

using Params = QList<QPair<QString, QVariant>>;

// The program's connection to its database (the main window's DB_ZEL): one
// attachment shared by every screen, reattached on the next use after it was lost.
class Database {
public:
    explicit Database(fb::ConnectParams params);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void open();  // throws fb::Error
    void close();
    bool isOpen() const { return connection_ != nullptr; }
    const fb::ConnectParams& params() const { return params_; }

    // The attachment; reattaches first when an earlier call found it lost.
    fb::Connection& connection();

    // Runs work in one read-write transaction and commits it. When another
    // workstation held the same rows (lock conflict, deadlock, update conflict after
    // waiting: Error::isConflict()), the transaction is rolled back and the work run
    // again, up to maxAttempts times in all; then the error is thrown. Replaying must
    // be safe for the work: statements that recompute from what is there, or changes
    // that check the values they were read with (DataSet::writePending(), whose
    // refusal Error::isRowChanged() is never retried).
    void write(const std::function<void(fb::Transaction&)>& work);
    int maxAttempts() const { return maxAttempts_; }
    void setMaxAttempts(int n) { maxAttempts_ = n; }

    // One statement in a transaction of its own (with the retry of write()).
    int execute(const QString& sql, const Params& params = {});
    // First column of the first row, or null.
    QVariant value(const QString& sql, const Params& params = {});
    // Executes a procedure and returns its output parameters by name.
    QVariantMap callProcedure(const QString& name, const Params& inputs = {});

    // Marks the connection as lost when the error says so; returns the error's flag.
    bool noteError(const fb::Error& e);

private:
    fb::ConnectParams params_;
    std::unique_ptr<fb::Connection> connection_;
    bool lost_ = false;
    int maxAttempts_ = 8;
};

}  // namespace kit
