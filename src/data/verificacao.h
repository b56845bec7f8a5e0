#pragma once

#include <QStringList>

#include "kit/db/fbclient.h"

namespace data {

// Recomputes what the database keeps from the entries (daily balances, invoice
// balances, commitments' paid amounts) and describes every difference found.
// An empty list means all agree.
QStringList verifyDerivedValues(fb::Connection& connection);

}  // namespace data
