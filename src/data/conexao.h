#pragma once

#include <QString>
#include <optional>

#include "kit/db/fbclient.h"

namespace data {

// The configuration file beside the executable.
inline constexpr const char* kConfigFileName = "ZELTESOURARIA.INI";

struct ConnectionConfig {
    fb::ConnectParams params;
    QString error;  // set when the file or its key is missing; fit to show
    bool ok() const { return error.isEmpty(); }
};

// Reads section [DADOS]: SERVIDOR is the database location (a local path for the
// embedded engine, or "host:/path" / "host/port:/path" on a Firebird server).
// USUARIO and SENHA, when present, replace the default credentials, so that a server
// need not run with a published password.
ConnectionConfig readConnectionConfig(const QString& iniPath);

// A clear Portuguese message for a database that could not be opened.
QString describeConnectionError(const QString& location, const fb::Error& error);

}  // namespace data
