// A recordset of the data layer handed to a component as the record it opens.
#pragma once

#include "platform/db/Recordset.h"

#include <orla_contas/Components.h>

namespace orla {

class OpenRecordset : public RecordsetView {
  public:
    explicit OpenRecordset(const Recordset& rs) : rs_(rs) {}
    bool Eof() const override { return rs_.Eof(); }
    QStringList FieldNames() const override { return rs_.FieldNames(); }
    QVariant Value(const QString& name) const override { return rs_.Value(name); }

  private:
    const Recordset& rs_;
};

}  // namespace orla
