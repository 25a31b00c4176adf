// Sizes a combo box's drop-down list: how many rows it shows and how much
// wider than the box it opens.
#pragma once

class QComboBox;
class QWidget;

namespace orla {

// The list of Combo shows Linhas rows and opens FactorLargura times as wide
// as the box, following the box when it is resized.
void AjustarListaCombo(QWidget* JanelaPai, QComboBox* Combo, int Linhas, double FactorLargura);

}  // namespace orla
