// The shared connection's check and re-establishment, and the server's date.
#pragma once

#include "platform/db/Connection.h"

#include <QDateTime>
#include <QString>

class QWidget;

namespace orla {

inline const QString kSqlNotPresent =
    QStringLiteral("A ligação ao servidor SQL não está presente.");

// An empty text when the connection (nullptr: the shared one) is usable,
// otherwise why not, after trying to re-establish it when asked to.
QString CheckSQLConnection(QWidget* form, Connection* connection, bool stopInTransaction,
                           bool reconnect, bool quiet, bool minimise);

// CheckSQLConnection as every caller of the component makes it.
QString CheckSharedConnection();

// The server's date and time; 01-01-1900 when it cannot be read.
QDateTime GetServerDate();

}  // namespace orla
