#include "CostPlaceholder.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace orla {
namespace {

class CostPlaceholder : public CostComponent {
  public:
    void Connect(const QString&, const QString&, const QString&, const QString&, const QString&,
                 const QString&, const QString&, qint32, QVariant&) override {}
    void Open(const QString&, const QVariant&, qint32, QWidget* owner) override {
        auto* window = new QWidget(owner, Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setObjectName(QStringLiteral("CostPlaceholder"));
        window->setWindowTitle(QStringLiteral("Novo Custo"));
        auto* text = new QLabel(QStringLiteral("O componente de custos da suite não está "
                                               "instalado neste computador.\nNenhum custo foi "
                                               "criado; registe-o no programa de custos."),
                                window);
        text->setMargin(16);
        (new QVBoxLayout(window))->addWidget(text);
        if (owner)
            window->move(owner->geometry().center() - window->rect().center());
        window->show();
    }
};

CostComponent* MakeCostPlaceholder() {
    return new CostPlaceholder;
}

}  // namespace

void RegisterCostPlaceholder(RegisterCostComponentEntry registerCostComponent) {
    registerCostComponent(kClsidCustos, &MakeCostPlaceholder);
}

}  // namespace orla
