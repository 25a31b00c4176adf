// Failures of the data layer and of the component's operations carry the
// numbers and descriptions of the original platform, so callers can filter
// them exactly as the system does (3709: connection closed or invalid).
#pragma once

#include <QString>

#include <exception>
#include <optional>

namespace orla {

struct OrlaError : std::exception {
    long number = 0;
    QString description;

    OrlaError() = default;
    OrlaError(long n, QString d) : number(n), description(std::move(d)) {}
    const char* what() const noexcept override { return "orla error"; }
};

namespace err {
inline constexpr long kConnectionClosed = 3709;
inline constexpr long kObjectClosed = 3704;
inline constexpr long kObjectOpen = 3705;
inline constexpr long kItemNotFound = 3265;
inline constexpr long kNoCurrentRecord = 3021;
inline constexpr long kPermissionDenied = 70;
inline constexpr long kUserInterrupt = 18;              // the user cancelled the work
inline constexpr long kProviderFailure = -2147467259;   // E_FAIL: server unreachable
inline constexpr long kLoginFailed = -2147217843;       // login refused by the server
inline constexpr long kCommandFailed = -2147217900;     // statement rejected by the server
inline constexpr long kInvalidConnectionString = 3706;  // provider cannot be found / bad string

OrlaError ConnectionClosed();
OrlaError ObjectOpen();
OrlaError ObjectClosed();
}  // namespace err

// Runs f with errors ignored and returns the error it raised, if any: the
// stretches where the system tests the pending error itself.
template <class F>
std::optional<OrlaError> Try(F&& f) {
    try {
        f();
    } catch (const OrlaError& e) {
        return e;
    }
    return std::nullopt;
}

}  // namespace orla
