#include "bankfiles/ReadBankStatement.h"

#include "bankfiles/BankFileText.h"
#include "bankfiles/CamtReader.h"
#include "bankfiles/Mt940Reader.h"
#include "bankfiles/OfxReader.h"
#include "common/Format.h"

#include <QFile>
#include <QFileInfo>

namespace orla {
namespace {

// Far beyond a year of any account's movements.
constexpr qint64 kLargestFile = 64 * 1024 * 1024;

QString Amount(Money m) {
    return Format(m, QStringLiteral("0.00"));
}

void CheckBalances(const BankStatement& s) {
    if (!s.opening || !s.closing)
        return;
    Money sum;
    for (const BankLine& line : s.lines)
        sum += line.credit ? line.amount : -line.amount;
    if (sum != *s.closing - *s.opening)
        BankFileFault(QStringLiteral("A soma dos movimentos (%1) não é igual à diferença entre o "
                                     "saldo final e o inicial (%2 - %3); o ficheiro parece "
                                     "incompleto.")
                          .arg(Amount(sum), Amount(*s.closing), Amount(*s.opening)));
}

QString Compact(const QString& account) {
    QString out;
    for (const QChar c : account)
        if (c.isLetterOrNumber())
            out += c.toUpper();
    return out;
}

}  // namespace

BankFileFormat DetectBankFileFormat(const QByteArray& bytes) {
    const QByteArray head = bytes.left(4096);
    if (head.contains('\0'))
        BankFileFault(
            QStringLiteral("O ficheiro não é um extrato em texto (CAMT.053, MT940, OFX "
                           "ou CSV)."));
    const QByteArray start = head.trimmed();
    if (start.startsWith("OFXHEADER") || head.contains("<OFX>") || head.contains("<?OFX"))
        return BankFileFormat::Ofx;
    if (start.startsWith("<") || start.startsWith("\xEF\xBB\xBF<")) {
        if (LooksLikeCamt053(bytes))
            return BankFileFormat::Camt053;
        BankFileFault(QStringLiteral("O ficheiro XML não é um extrato de conta CAMT.053."));
    }
    if (LooksLikeMt940(bytes))
        return BankFileFormat::Mt940;
    return BankFileFormat::Csv;
}

BankStatement ReadBankStatement(const QByteArray& bytes, const std::optional<CsvLayout>& csv) {
    if (bytes.trimmed().isEmpty())
        BankFileFault(QStringLiteral("O ficheiro está vazio."));
    BankStatement statement;
    switch (DetectBankFileFormat(bytes)) {
        case BankFileFormat::Camt053:
            statement = ReadCamt053(bytes);
            break;
        case BankFileFormat::Mt940:
            statement = ReadMt940(bytes);
            break;
        case BankFileFormat::Ofx:
            statement = ReadOfx(bytes);
            break;
        case BankFileFormat::Csv: {
            const std::optional<CsvLayout> layout = csv ? csv : DetectCsvLayout(bytes);
            if (!layout)
                BankFileFault(
                    QStringLiteral("Não foi possível reconhecer as colunas do ficheiro "
                                   "CSV. Indique o formato do ficheiro."));
            statement = ReadCsv(bytes, *layout);
            break;
        }
    }
    CheckBalances(statement);
    return statement;
}

BankStatement ReadBankStatement(const QString& path, const std::optional<CsvLayout>& csv) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            throw OrlaError(53, QStringLiteral("Ficheiro não encontrado: %1").arg(path));
        throw OrlaError(
            err::kPermissionDenied,
            QStringLiteral("Não é possível ler o ficheiro %1: %2").arg(path, file.errorString()));
    }
    if (file.size() > kLargestFile)
        BankFileFault(
            QStringLiteral("O ficheiro %1 é demasiado grande para um extrato.").arg(path));
    const QByteArray bytes = file.read(kLargestFile + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kLargestFile)
        throw OrlaError(
            75,
            QStringLiteral("Não é possível ler o ficheiro %1: %2").arg(path, file.errorString()));
    return ReadBankStatement(bytes, csv);
}

bool SameAccount(const QString& fileIban, const QString& accountIban) {
    const QString file = Compact(fileIban);
    const QString account = Compact(accountIban);
    if (file.isEmpty() || account.isEmpty())
        return false;
    if (file == account)
        return true;
    // A national number: the IBAN holds it after its country letters, check digits and,
    // in Portugal, the bank and branch codes; the number must end the IBAN.
    const bool national = !file.front().isLetter();
    return national && account.front().isLetter() && file.size() >= 8 &&
           account.size() > file.size() + 4 && account.endsWith(file);
}

}  // namespace orla
