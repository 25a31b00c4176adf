// Opening trial connections on the primary and secondary servers at once and
// waiting, with the event loop running, for the first that opens.
#pragma once

#include "platform/db/Connection.h"

#include <QString>

#include <optional>

namespace orla {

enum class RaceWinner { None, Primary, Secondary };

// Races the two strings (an empty secondary string is not tried); both trial
// connections are closed before it returns. Errors of the trials are ignored.
RaceWinner RaceServers(const ScrambledString& primaryString,
                       const ScrambledString& secondaryString);

// Opens asynchronously and waits; the error the open raised, if any.
std::optional<OrlaError> OpenAndWait(Connection& connection);

}  // namespace orla
