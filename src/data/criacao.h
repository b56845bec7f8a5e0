#pragma once

#include "kit/db/fbclient.h"

namespace data {

// Creates a database with the whole schema and its base rows, optionally with the
// demonstration data. On failure nothing is left behind (the new file is dropped).
void createDatabase(const fb::ConnectParams& params, bool withDemonstrationData);

}  // namespace data
