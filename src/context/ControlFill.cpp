#include "context/ControlFill.h"

#include "common/ControlValues.h"
#include "common/Format.h"
#include "context/Context.h"
#include "context/SharedConnection.h"
#include "platform/services/ErrorReport.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace orla {
void ControlFill(QComboBox* combo, const QString& sql, const QString& textField,
                 const QString& dataField, const std::function<bool(Recordset&)>& keep) {
    Guard({QStringLiteral("modControlFill"), QStringLiteral("ControlFill"),
           ReportFilter::NotZeroNor3709NorBlank},
          [&] {
              if (!CheckSharedConnection().isEmpty())
                  return;
              Recordset rs;
              rs.Open(sql, Data().SqlServer);
              if (rs.Eof()) {
                  rs.Close();
                  return;
              }
              const QStringList names = rs.FieldNames();
              const bool withData = !dataField.isEmpty();
              if (!names.contains(textField, Qt::CaseSensitive) ||
                  (withData && !names.contains(dataField, Qt::CaseSensitive))) {
                  rs.Close();
                  return;
              }
              const QSignalBlocker quiet(combo);
              combo->clear();
              for (; !rs.Eof(); rs.MoveNext()) {
                  const Field text = rs.Fields(textField);
                  const Field data = withData ? rs.Fields(dataField) : Field();
                  if (text.IsNull() || (withData && data.IsNull()) || (keep && !keep(rs)))
                      continue;
                  combo->addItem(TextOf(text.Value),
                                 withData ? QVariant(LongValue(data.Value)) : QVariant());
                  combo->setCurrentIndex(-1);  // Qt selects the first item added
              }
              rs.Close();
          });
}

}  // namespace orla
