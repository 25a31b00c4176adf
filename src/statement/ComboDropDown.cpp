#include "statement/ComboDropDown.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>

namespace orla {
namespace {

// Keeps the open list's width a fixed factor of the box's width.
class DropDownWidth : public QObject {
  public:
    DropDownWidth(QComboBox* combo, double factor)
        : QObject(combo), combo_(combo), factor_(factor) {
        Apply();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            Apply();
        return false;
    }

  private:
    void Apply() { combo_->view()->setMinimumWidth(int(combo_->width() * factor_)); }

    QComboBox* combo_;
    double factor_;
};

}  // namespace

void AjustarListaCombo(QWidget*, QComboBox* Combo, int Linhas, double FactorLargura) {
    Combo->setMaxVisibleItems(Linhas);
    Combo->installEventFilter(new DropDownWidth(Combo, FactorLargura));
}

}  // namespace orla
