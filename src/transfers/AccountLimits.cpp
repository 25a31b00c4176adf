#include "transfers/AccountLimits.h"

#include "common/Format.h"
#include "common/SqlLiterals.h"

namespace orla {
namespace {

std::optional<QDate> DayOf(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    const std::optional<QDateTime> date = ToDate(value);
    return date ? std::optional<QDate>(date->date()) : std::nullopt;
}

}  // namespace

AccountDates ReadAccountDates(Connection& connection, const std::optional<qint64>& account) {
    Recordset rs = connection.Execute(QStringLiteral("SELECT * FROM tbContas_Bancarias WHERE "
                                                     "conta_id = ") +
                                      SqlKey(account));
    AccountDates dates;
    if (!rs.Eof()) {
        dates.dataClosed = DayOf(rs.Value(QStringLiteral("data_closed")));
        dates.saldoData = DayOf(rs.Value(QStringLiteral("saldo_data")));
    }
    rs.Close();
    return dates;
}

bool InClosedPeriod(const std::optional<QDate>& closed, const QDate& date,
                    const std::optional<QDate>& bankDate) {
    return closed && (date <= *closed || (bankDate && *bankDate <= *closed));
}

std::optional<QDate> LowerLimit(const AccountDates& dates) {
    if (dates.dataClosed && dates.saldoData)
        return qMax(*dates.dataClosed, *dates.saldoData);
    return dates.dataClosed ? dates.dataClosed : dates.saldoData;
}

}  // namespace orla
