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
// The file is UTF-8 when it is valid UTF-8, Latin-1 otherwise. Embedded (a local
// path) no user or password is needed. On a server the program works as its own
// user (TESOURARIA) with its role (TESOURARIA_PROGRAMA) unless USUARIO and PAPEL
// say otherwise, and SENHA is required. A file holding SENHA is refused while other
// users may read it.
ConnectionConfig readConnectionConfig(const QString& iniPath);

// A clear Portuguese message for a database that could not be opened: what
// happened (a missing file or folder, a file that is not a database, permissions,
// a server that does not answer or refuses the user or the connection, ...).
QString describeConnectionError(const QString& location, const fb::Error& error);

// The same for an error met after the connection was made (while checking,
// upgrading or copying): it does not say the connection failed.
QString describeDatabaseError(const QString& location, const fb::Error& error);

}  // namespace data
