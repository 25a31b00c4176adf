#include "platform/db/Logins.h"

#include <orla_contas/SecretMemory.h>

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace orla {

QString LoginsTableDdl() {
    return QStringLiteral(
        "CREATE TABLE IF NOT EXISTS orla_logins ("
        "login TEXT NOT NULL COLLATE NOCASE, salt TEXT NOT NULL, hash TEXT NOT NULL)");
}

QString NewLoginSalt() {
    QByteArray salt(16, '\0');
    for (char& c : salt)
        c = static_cast<char>(QRandomGenerator::system()->bounded(256));
    return QString::fromLatin1(salt.toHex());
}

QString LoginHash(const QString& salt, const QString& password) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt.toUtf8());
    QByteArray bytes = password.toUtf8();
    hash.addData(bytes);
    Wipe(bytes);
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace orla
