#include "context/SharedConnection.h"

#include "context/Context.h"
#include "context/ServerRace.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Values.h"
#include "platform/services/SharedServices.h"

#include <QWidget>

#include <orla_contas/ConnectionScrambler.h>
#include <orla_contas/SecretMemory.h>

namespace orla {
namespace {

struct Probe {
    bool usable = false;
    bool inTransaction = false;
};

Probe ProbeConnection(Connection& connection) {
    Probe probe;
    if (connection.State() != Connection::adStateOpen)
        return probe;
    const auto failure = Try([&] {
        Recordset rs = connection.Execute(QStringLiteral("SELECT @@TRANCOUNT as valor"));
        if (rs.IsOpen() && !rs.Eof()) {
            const QVariant valor = rs.Value(QStringLiteral("valor"));
            probe.inTransaction = valor.isValid() && !valor.isNull() && valor.toLongLong() > 0;
        }
        if (rs.IsOpen())
            rs.Close();
    });
    probe.usable = !failure;
    return probe;
}

// The string of the server the context is not on.
ScrambledString OtherServerString() {
    const ContextValues& c = Context();
    return {c.UseSecondary ? c.MasterConnectionString : c.SecondaryConnectionString};
}

// Whether a scrambled string names a server at all.
bool NamesServer(const ScrambledString& text) {
    QString plain = ConnectionScrambler::Unscramble(text.text);
    const bool named = !ConnectionString::Parse(plain).DataSource().isEmpty();
    Wipe(plain);
    return named;
}

void Notify(QWidget* form, void (SharedServices::*notice)(QWidget*)) {
    (CurrentSharedServices().*notice)(form);
}

// Up to four passes of two attempts: the present string, then the other
// server. The error of the last attempt when none opened.
std::optional<OrlaError> Reconnect(Connection& connection) {
    std::optional<OrlaError> pending;
    connection.Close();
    connection.SetConnectionTimeout(240);
    for (int pass = 0; pass < 4 && connection.State() != Connection::adStateOpen; ++pass) {
        pending = OpenAndWait(connection);
        if (!pending)
            break;
        connection.Close();
        // Every attempt after the first waits at most 10 seconds, other server or not.
        connection.SetConnectionTimeout(10);
        const ScrambledString other = OtherServerString();
        if (!NamesServer(other)) {
            // No other server: this attempt fails at once and the string stays.
            pending = OrlaError(err::kProviderFailure,
                                QStringLiteral("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server "
                                               "does not exist or access denied."));
            continue;
        }
        Try([&] { connection.SetConnectionString(other); });
        pending = OpenAndWait(connection);
        if (!pending)
            break;
    }
    return pending;
}

}  // namespace

QString CheckSQLConnection(QWidget* form, Connection* connection, bool stopInTransaction,
                           bool reconnect, bool quiet, bool minimise) {
    QString result;
    try {
        if (Context().MasterConnectionString.isEmpty())
            return {};
        Connection& conn = connection ? *connection : Data().SqlServer;
        if (conn.State() == Connection::adStateConnecting)
            return QStringLiteral("...");
        std::optional<QCursor> cursor;
        if (form) {
            cursor = form->cursor();
            form->setCursor(Qt::WaitCursor);
        }
        const Probe probe = ProbeConnection(conn);
        const bool keep = (stopInTransaction && probe.inTransaction) || probe.usable;
        if (!keep && !reconnect) {
            result = kSqlNotPresent;
        } else if (!keep) {
            if (minimise && form) {
                form->repaint();
                form->showMinimized();
            }
            if (!quiet)
                Notify(form, &SharedServices::ShowReconnecting);
            const int timeout = conn.ConnectionTimeout();
            const std::optional<OrlaError> pending = Reconnect(conn);
            conn.SetConnectionTimeout(timeout);
            const bool open = conn.State() == Connection::adStateOpen;
            if (!quiet) {
                Notify(form, &SharedServices::HideReconnecting);
                Notify(form, open ? &SharedServices::ReconnectSucceeded
                                  : &SharedServices::ReconnectFailed);
            }
            if (!open)
                result = pending ? pending->description : kSqlNotPresent;
            if (!quiet && form) {
                form->showNormal();
                form->repaint();
            }
        }
        if (form && cursor)
            form->setCursor(*cursor);
    } catch (const OrlaError& e) {
        result = e.description;
        if (form)
            form->unsetCursor();
        if (!quiet)
            Notify(nullptr, &SharedServices::HideReconnecting);
    }
    return result;
}

QString CheckSharedConnection() {
    return CheckSQLConnection(nullptr, nullptr, true, true, false, false);
}

QDateTime GetServerDate() {
    const QDateTime failure(kNoDate, QTime(0, 0));
    QDateTime result = failure;
    const auto error = Try([&] {
        Recordset rs = Data().SqlServer.Execute(QStringLiteral("SELECT GETDATE() AS DATE"));
        const std::optional<QDateTime> date = DateValue(rs.Value(QStringLiteral("date")));
        result = date ? *date : failure;
        rs.Close();
    });
    return error ? failure : result;
}

}  // namespace orla
