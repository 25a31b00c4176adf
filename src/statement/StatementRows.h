// Plain values of the statement list: one row per movement plus the opening
// balance row, as the list shows them.
#pragma once

#include "common/Money.h"

#include <QPalette>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace orla {

// Columns of the list: the row's own text (Data) and sub-items 1 to 8 are
// shown; sub-items 9 to 11 carry armazem_id, doc_id and the full date.
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
    ColArmazemId,
    ColDocId,
    ColDataHora,
    StatementCellCount
};
inline constexpr int kVisibleStatementColumns = 9;

struct StatementRow {
    QString key;  // "#" origem_id armazem_id doc_id; "#0" for the opening row
    QString tag;  // origem_id; "0" for the opening row
    QStringList cells = QStringList(StatementCellCount);
    QString debitTag;  // raw amounts of the debit and credit cells
    QString creditTag;
    bool checked = false;
    bool bold = false;
    bool future = false;  // dated after today
    // The system colour a click in the list gave the row's text and sub-items 1 to 7.
    std::optional<QPalette::ColorRole> colour;
};

// The statement as listed, top to bottom: newest movement first, the opening
// row last.
struct Statement {
    std::vector<StatementRow> rows;
    int scrollRow = -1;  // the newest movement dated up to today
    Money debitos;
    Money creditos;
};

}  // namespace orla
