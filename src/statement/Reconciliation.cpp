#include "statement/Reconciliation.h"

#include "common/Format.h"
#include "common/SqlLiterals.h"
#include "platform/db/Values.h"
#include "statement/StatementQueries.h"

namespace orla {

QDateTime ReconciliationLimit(Connection& connection, const std::optional<qint64>& account) {
    QDateTime limit = WallClock(QDate(1899, 12, 30));
    Recordset rs = connection.Execute(AccountQuery(account));
    if (!rs.Eof()) {
        if (const auto closed = ToDate(rs.Value(QStringLiteral("data_closed"))))
            limit = WallClock(closed->date(), closed->time());
    }
    rs.Close();
    return limit;
}

bool Reconcile(Connection& connection, const SourceRecord& record,
               const std::optional<QDate>& bankDate) {
    const QString statement =
        bankDate ? ChosenDebitDateStatement(record, *bankDate) : DefaultDebitDateStatement(record);
    if (statement.isEmpty())
        return false;
    connection.Execute(statement);
    return true;
}

bool Unreconcile(Connection& connection, const SourceRecord& record, const QDateTime& limit) {
    const QString read = ReadDebitDateQuery(record);
    if (read.isEmpty())
        return false;
    // The date read and both statements in one transaction: a record given its own date back
    // never stays reconciled.
    WriteTransaction transaction(connection);
    std::optional<QDateTime> debit;
    {
        Recordset rs = connection.Execute(read);
        if (!rs.Eof())
            debit = ToDate(rs.Value(DebitDateColumn(record)));
        rs.Close();
    }
    if (debit && WallClock(debit->date(), debit->time()) < limit)
        connection.Execute(RestoreOwnDateStatement(record));
    connection.Execute(ClearDebitDateStatement(record));
    transaction.Commit();
    return true;
}

}  // namespace orla
