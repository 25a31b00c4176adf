// The dates that bound what may be written on an account: the last day of its
// closed period and the date of its opening balance.
#pragma once

#include "platform/db/Connection.h"

#include <QDate>
#include <QString>

#include <optional>

namespace orla {

struct AccountDates {
    std::optional<QDate> dataClosed;  // last day of the closed period
    std::optional<QDate> saldoData;   // date of the opening balance
};

// The account's dates; both none when the account is gone or none is given. Throws OrlaError.
AccountDates ReadAccountDates(Connection& connection, const std::optional<qint64>& account);

// The later of the two dates that are known; none when neither is.
std::optional<QDate> LowerLimit(const AccountDates& dates);

}  // namespace orla
