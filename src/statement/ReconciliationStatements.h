// The statements that tick and untick a movement in the table of its source
// record, by origin code, and the re-selection flag of each origin.
#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace orla {

// The source record of a movement: its origin code and its two ids.
struct SourceRecord {
    int origin = 0;
    qint64 armazem = 0;
    qint64 doc = 0;
};

// Origins 5, 6 and 10 are not subject to reconciliation.
bool NotSubjectToReconciliation(int origin);

// Each returns an empty text for an origin that owns no reconcilable record.
QString DefaultDebitDateStatement(const SourceRecord& record);
QString ChosenDebitDateStatement(const SourceRecord& record, const QDate& day);
QString ReadDebitDateQuery(const SourceRecord& record);
QString RestoreOwnDateStatement(const SourceRecord& record);
QString ClearDebitDateStatement(const SourceRecord& record);
// The column ReadDebitDateQuery returns.
QString DebitDateColumn(const SourceRecord& record);

// RemoteKey's flag for an origin (1 → 2004, 2 → 2006, 3 → 2002, 4 → 2050,
// 7 → 2051), none for the others.
std::optional<int> RemoteKeyFlag(int origin);
// The row-key prefix a RemoteKey flag selects ("#1" for 2004 ...), empty for others.
QString RemoteKeyPrefix(int flag);

}  // namespace orla
