#include "CamtFile.h"

#include <QFile>

namespace orla::test {

bool WriteCamtFile(const QString& path, const QString& iban, const QStringList& entries) {
    QString xml = QStringLiteral(
                      "<?xml version=\"1.0\"?><Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:"
                      "camt.053.001.02\"><BkToCstmrStmt><Stmt><Acct><Id><IBAN>%1</IBAN></Id>"
                      "</Acct>")
                      .arg(iban);
    for (const QString& entry : entries)
        xml += QStringLiteral(
                   "<Ntry><Amt Ccy=\"EUR\">%1</Amt><CdtDbtInd>%2</CdtDbtInd>"
                   "<Sts>BOOK</Sts><BookgDt><Dt>%3</Dt></BookgDt></Ntry>")
                   .arg(entry.section('@', 0, 0).mid(1),
                        entry.startsWith('+') ? QStringLiteral("CRDT") : QStringLiteral("DBIT"),
                        entry.section('@', 1));
    xml += QStringLiteral("</Stmt></BkToCstmrStmt></Document>");
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(xml.toUtf8()) > 0 && file.flush();
}

}  // namespace orla::test
