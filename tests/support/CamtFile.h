// A bank's CAMT.053 statement written for a test.
#pragma once

#include <QString>
#include <QStringList>

namespace orla::test {

// Writes at `path` the statement of `iban` with one booked entry per item, "+12.50@2026-03-01"
// money in (CRDT) and "-" money out, the amount as the file holds it; false when it cannot.
bool WriteCamtFile(const QString& path, const QString& iban, const QStringList& entries);

}  // namespace orla::test
