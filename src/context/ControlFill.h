// Filling a combo box from a query: one item per row, showing one
// column and keeping another (the row's identifier) as the item's data.
#pragma once

#include <QString>

#include <functional>

class QComboBox;

namespace orla {

class Recordset;

// Fills the combo box from `sql` over the shared
// connection. Field names are matched exactly, with case. The control keeps
// its items when the query returns no rows or lacks a named field; rows with
// a Null text or data are skipped. With an empty `dataField` the items carry
// no data. Nothing is selected afterwards: that is the caller's business.
// With `keep`, only the rows it accepts (read at the recordset's current row) become items.
void ControlFill(QComboBox* combo, const QString& sql, const QString& textField,
                 const QString& dataField, const std::function<bool(Recordset&)>& keep = {});

}  // namespace orla
