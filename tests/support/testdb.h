#pragma once

#include <QTemporaryDir>
#include <memory>

#include "kit/db/database.h"

// A fresh database for one test file, made from the schema: an embedded file in a
// temporary folder, or a file on the test server named by ZEL_TEST_SERVER.
class TestDatabase {
public:
    // Embedded; with demonstration data when asked.
    static std::unique_ptr<TestDatabase> embedded(bool demo = false);
    // On the server started by the test command; null when none is configured.
    static std::unique_ptr<TestDatabase> server(bool demo = false);
    static bool serverConfigured();

    ~TestDatabase();
    const fb::ConnectParams& params() const { return params_; }
    // A new, separate attachment (another workstation).
    std::unique_ptr<fb::Connection> connect() const {
        return std::make_unique<fb::Connection>(params_);
    }
    std::unique_ptr<kit::Database> database() const;

    // Shuts the (embedded) database down under its users, as a server going away, or
    // brings it back; false when gfix failed.
    bool shutDown() const;
    bool bringOnline() const;

    // Inserts a minimal set of registry rows: resources 1 and 2, activity 1,
    // supplier 1, locality 3, a commitment 1 with invoice 1 (gross value 100,00).
    void addFixtureRows();

private:
    TestDatabase() = default;
    QTemporaryDir dir_;
    fb::ConnectParams params_;
    bool onServer_ = false;
};

namespace kit {
class RecordingMessageService;
}

// Installs a service that records every message (and answers Yes unless told
// otherwise); returns it.
kit::RecordingMessageService* recordMessages();

// Fails the test with the database's message when a statement throws.
#define QVERIFY_DB(statement)                                                          \
    do {                                                                               \
        try {                                                                          \
            statement;                                                                 \
        } catch (const fb::Error& e_) {                                                \
            QFAIL(qPrintable(QStringLiteral("%1: %2").arg(#statement, e_.message()))); \
        }                                                                              \
    } while (false)
