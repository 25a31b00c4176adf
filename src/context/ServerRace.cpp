#include "context/ServerRace.h"

namespace orla {
namespace {

bool IsOpen(Connection& c) {
    return c.State() == Connection::adStateOpen;
}

bool IsConnecting(Connection& c) {
    return c.State() == Connection::adStateConnecting;
}

}  // namespace

std::optional<OrlaError> OpenAndWait(Connection& connection) {
    if (auto failure = Try([&] { connection.Open(Connection::adAsyncConnect); }))
        return failure;
    WaitWhileConnecting(connection);
    return connection.AsyncError();
}

RaceWinner RaceServers(const ScrambledString& primaryString,
                       const ScrambledString& secondaryString) {
    Connection primary(primaryString);
    Connection secondary(secondaryString);
    Try([&] { primary.Open(Connection::adAsyncConnect); });
    if (!secondaryString.text.isEmpty())
        Try([&] { secondary.Open(Connection::adAsyncConnect); });
    WaitWhile([&] {
        return !IsOpen(primary) && !IsOpen(secondary) &&
               (IsConnecting(primary) || IsConnecting(secondary));
    });
    RaceWinner winner = RaceWinner::None;
    if (IsOpen(primary))
        winner = RaceWinner::Primary;
    else if (IsOpen(secondary))
        winner = RaceWinner::Secondary;
    primary.Close();
    secondary.Close();
    return winner;
}

}  // namespace orla
