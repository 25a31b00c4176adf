// Plain values of the statement list: one row per movement plus the opening
// balance row, as typed values; their display texts are made when shown.
#pragma once

#include "common/Money.h"

#include <QDateTime>
#include <QPalette>
#include <QString>

#include <optional>
#include <vector>

namespace orla {

// The list's columns.
enum StatementColumn {
    ColData = 0,
    ColOrigem,
    ColEntidade,
    ColReferencia,
    ColTipoDocumento,
    ColDocumento,
    ColDebito,
    ColCredito,
    ColSaldo,
    kVisibleStatementColumns
};

// A movement, or the opening row: the balance carried from the movements before
// the period ("- - -"), or, with none since the account's balance date, that date.
enum class RowKind { Movement, OpeningCarried, OpeningAtBalanceDate };

struct StatementRow {
    RowKind kind = RowKind::Movement;
    std::optional<qint64> origem;   // origem_id; 0 for the opening row
    std::optional<qint64> armazem;  // armazem_id
    std::optional<qint64> doc;      // doc_id
    std::optional<QDateTime> date;  // wall clock; the balance date of the opening row
    QString dateText;               // shown when a stored date could not be read
    QString origemText, entidade, referencia, tipoDocumento, documento;
    std::optional<Money> debito;  // as listed: a negative amount sits on the other side
    std::optional<Money> credito;
    Money saldo;  // the running balance after the row
    Money delta;  // what the row adds to the running balance
    bool checked = false;
    bool future = false;  // dated after today
    // The system colour a click in the list gave the row's text and sub-items 1 to 7.
    std::optional<QPalette::ColorRole> colour;

    bool IsOpening() const { return kind != RowKind::Movement; }
    // "#" origem_id armazem_id doc_id, each in decimal ("#0" for the opening row).
    QString Key() const;
    // The movement's origin as a whole number, 0 for none and for the opening row.
    int Origin() const { return int(origem.value_or(0)); }
};

// The text the list shows in one of its columns.
QString StatementCell(const StatementRow& row, int column);

// The statement as listed, top to bottom: newest movement first, the opening
// row last.
struct Statement {
    std::vector<StatementRow> rows;
    int scrollRow = -1;  // the newest movement dated up to today
    Money debitos;
    Money creditos;
};

}  // namespace orla
