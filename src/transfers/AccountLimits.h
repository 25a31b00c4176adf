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

// A movement dated `date`, with its bank date when it has one, falls in the closed period that
// ends on `closed` when either is on or before that day; nothing is closed without a closing date.
bool InClosedPeriod(const std::optional<QDate>& closed, const QDate& date,
                    const std::optional<QDate>& bankDate);

// The later of the two dates that are known; none when neither is.
std::optional<QDate> LowerLimit(const AccountDates& dates);

}  // namespace orla
