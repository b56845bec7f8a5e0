#pragma once

#include <QString>

#include "kit/db/fbclient.h"

namespace data {

// The Firebird user the program works as on a server, and the role that carries
// its rights (the program passes the role when it connects).
inline constexpr const char* kProgramUser = "TESOURARIA";
inline constexpr const char* kProgramRole = "TESOURARIA_PROGRAMA";

// The demonstration database's administrator login (documented in the README).
inline constexpr const char* kDemoAdminLogin = "ADMIN";
inline constexpr const char* kDemoAdminPassword = "ADMIN";

// Creates a database with the whole schema and its base rows, optionally with the
// demonstration data, and the program's role with its rights. The first
// administrator (login ADMIN) gets adminPassword; when it is empty, the
// demonstration password with demonstration data, a generated one without.
// Returns the administrator's password. On failure nothing is left behind (the new
// file is dropped).
QString createDatabase(const fb::ConnectParams& params, bool withDemonstrationData,
                       const QString& adminPassword = {});

// Creates the program's role when missing and grants it what the program uses:
// reading and writing the rows of every table (reading only the version table),
// running the procedures and drawing from the sequences. Run again after an upgrade.
void grantProgramRole(fb::Connection& connection);

// Creates the program's user on the server when it does not exist (with password)
// and grants it the role. Returns false when the user existed already (its
// password is left as it was). Needs an administrator's connection.
bool ensureProgramUser(fb::Connection& connection, const QString& user, const QString& password);

// A random password of letters and digits (upper case, without look-alikes).
QString generatePassword(int length);

// Checks a first administrator's password: up to 8 characters, no spaces. Returns
// what is wrong, or nothing.
QString checkAdminPassword(const QString& password);

}  // namespace data
