#pragma once

#include <QDate>

#include "kit/db/fbclient.h"

namespace data {

// Fills a new database (schema and base rows already in place) with a small,
// realistic municipality: its record, resources, activities, suppliers,
// localities, modalities, departments, employees, contracts, commitments,
// invoices, notices, scheduled cheques and about a year of entries up to today.
// The same seed gives the same data.
void fillDemonstrationData(fb::Connection& connection, const QDate& today = QDate::currentDate(),
                           quint32 seed = 2026);

}  // namespace data
