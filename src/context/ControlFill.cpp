#include "context/ControlFill.h"

#include "common/ControlValues.h"
#include "common/Format.h"
#include "context/Context.h"
#include "context/SharedConnection.h"
#include "platform/services/ErrorReport.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

namespace orla {
namespace {

// The list-like operations a fill needs, over either kind of control.
struct ListControl {
    QComboBox* combo;
    QListWidget* list;

    explicit ListControl(QWidget* control)
        : combo(qobject_cast<QComboBox*>(control)), list(qobject_cast<QListWidget*>(control)) {}
    bool Valid() const { return combo || list; }

    void Clear() {
        if (combo)
            combo->clear();
        else
            list->clear();
    }

    void AddItem(const QString& text, const QVariant& data) {
        if (combo) {
            combo->addItem(text, data);
            return;
        }
        auto* item = new QListWidgetItem(text);
        if (data.isValid())
            item->setData(Qt::UserRole, data);
        list->addItem(item);
    }

    // Qt selects the first item added to an empty combo box; a filled list
    // starts with nothing selected.
    void SelectNothing() {
        if (combo)
            combo->setCurrentIndex(-1);
        else
            list->setCurrentRow(-1);
    }
};

}  // namespace

void ControlFill(QWidget* control, const QString& sql, const QString& textField,
                 const QString& dataField, const std::function<bool(Recordset&)>& keep) {
    Guard({QStringLiteral("modControlFill"), QStringLiteral("ControlFill"),
           ReportFilter::NotZeroNor3709NorBlank},
          [&] {
              ListControl target(control);
              if (!target.Valid())
                  return;
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
              const QSignalBlocker quiet(control);
              target.Clear();
              for (; !rs.Eof(); rs.MoveNext()) {
                  const Field text = rs.Fields(textField);
                  const Field data = withData ? rs.Fields(dataField) : Field();
                  if (text.IsNull() || (withData && data.IsNull()) || (keep && !keep(rs)))
                      continue;
                  target.AddItem(TextOf(text.Value),
                                 withData ? QVariant(LongValue(data.Value)) : QVariant());
                  target.SelectNothing();
              }
              rs.Close();
          });
}

}  // namespace orla
