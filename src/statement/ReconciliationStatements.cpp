#include "statement/ReconciliationStatements.h"

#include "platform/db/Values.h"

#include "common/SqlLiterals.h"

namespace orla {
namespace {

// Where an origin keeps its record: table, key, debit date column, the date
// written when no date is chosen, and the record's own date column.
struct SourceTable {
    int origin;
    const char* table;
    bool keyedByArmazem;
    const char* idColumn;
    const char* debitColumn;
    const char* defaultDate;
    const char* ownColumn;
};

const char* const kDocumentDate =
    "(CASE WHEN data_documento is null THEN data ELSE data_documento END)";

const SourceTable kSources[] = {
    {1, "tbDocumentos_Recibos", true, "recibo_id", "data_debito", kDocumentDate, "data_documento"},
    {2, "tbDocumentos_Fornec_Recibos", true, "recibo_id", "data_debito", kDocumentDate,
     "data_documento"},
    {3, "tbCustos_Recibos", false, "recibo_id", "data_debito", kDocumentDate, "data_documento"},
    {4, "tbContas_Bancarias_Transferencias", false, "trf_id", "data_debito", "data", "data"},
    {7, "tbDocumentos_Pagamentos", true, "pag_id", "data_debito", "data", "data"},
    {40, "tbContas_Bancarias_Transferencias", false, "trf_id", "data_debito_destino",
     "data_destino", "data_destino"},
};

const SourceTable* SourceOf(int origin) {
    for (const SourceTable& source : kSources) {
        if (source.origin == origin)
            return &source;
    }
    return nullptr;
}

QString Where(const SourceTable& source, const SourceRecord& record) {
    QString where = QStringLiteral(" WHERE ");
    if (source.keyedByArmazem)
        where += QStringLiteral("armazem_id = ") + QString::number(record.armazem) +
                 QStringLiteral(" AND ");
    return where + QLatin1String(source.idColumn) + QStringLiteral(" = ") +
           QString::number(record.doc);
}

// "UPDATE table SET column = value WHERE key" for the record's origin.
QString Update(const SourceRecord& record, const char* SourceTable::*column, const QString& value) {
    const SourceTable* source = SourceOf(record.origin);
    if (!source)
        return {};
    return QStringLiteral("UPDATE ") + QLatin1String(source->table) + QStringLiteral(" SET ") +
           QLatin1String(source->*column) + QStringLiteral(" = ") + value + Where(*source, record);
}

}  // namespace

bool NotSubjectToReconciliation(int origin) {
    return origin == 5 || origin == 6 || origin == 10;
}

QString DefaultDebitDateStatement(const SourceRecord& record) {
    const SourceTable* source = SourceOf(record.origin);
    return source ? Update(record, &SourceTable::debitColumn, QLatin1String(source->defaultDate))
                  : QString();
}

QString ChosenDebitDateStatement(const SourceRecord& record, const QDate& day) {
    return Update(record, &SourceTable::debitColumn, SqlValue(WallClock(day), SqlDate));
}

QString ReadDebitDateQuery(const SourceRecord& record) {
    const SourceTable* source = SourceOf(record.origin);
    if (!source)
        return {};
    return QStringLiteral("SELECT ") + QLatin1String(source->debitColumn) +
           QStringLiteral(" FROM ") + QLatin1String(source->table) + Where(*source, record);
}

QString DebitDateColumn(const SourceRecord& record) {
    const SourceTable* source = SourceOf(record.origin);
    return source ? QLatin1String(source->debitColumn) : QString();
}

QString RestoreOwnDateStatement(const SourceRecord& record) {
    const SourceTable* source = SourceOf(record.origin);
    return source ? Update(record, &SourceTable::ownColumn, QLatin1String(source->debitColumn))
                  : QString();
}

QString ClearDebitDateStatement(const SourceRecord& record) {
    return Update(record, &SourceTable::debitColumn, QStringLiteral("null"));
}

std::optional<int> RemoteKeyFlag(int origin) {
    switch (origin) {
        case 1:
            return 2004;
        case 2:
            return 2006;
        case 3:
            return 2002;
        case 4:
            return 2050;
        case 7:
            return 2051;
        default:
            return std::nullopt;
    }
}

QString RemoteKeyPrefix(int flag) {
    switch (flag) {
        case 2002:
            return QStringLiteral("#3");
        case 2004:
            return QStringLiteral("#1");
        case 2006:
            return QStringLiteral("#2");
        case 2050:
            return QStringLiteral("#4");
        case 2051:
            return QStringLiteral("#7");
        default:
            return {};
    }
}

}  // namespace orla
